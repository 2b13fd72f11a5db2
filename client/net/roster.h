// What the client knows of each player slot from the server: its name and the sprite
// sheet of its character.
#pragma once

#include "platform/windows.h"

// Copies a name field of the wire (10 bytes, not always terminated) into an actor's
// name, which then ends with a zero. Call with worldLock held.
void CopyName(char* name, const char* field);

// Whether `character` names a row of SpriteTable.
bool IsCharacter(BYTE character);

// Loads the sheet of `character` for slot `slot`; the slot keeps its old sheet when
// that fails. Takes worldLock itself.
bool LoadSheet(int slot, BYTE character);
bool HasSheet(int slot);
