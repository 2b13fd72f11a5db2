// A character's head: face, hair, ears and what is worn on the head.
#pragma once

#include "content/generator/character_look.h"
#include "content/generator/character_view.h"
#include "content/generator/image.h"

// The long hair that falls down the back; nothing for other hair.
void DrawLongHair(Image& canvas, const CharacterLook& look, const View& view);

void DrawHead(Image& canvas, const CharacterLook& look, const View& view);
