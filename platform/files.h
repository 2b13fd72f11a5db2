// Data files. The game names its files the Windows way ("images\sprites\TOVI.bmp"):
// backslash separators, any letter case, relative to its folder. Every data file the
// game reads or writes is opened through OpenGameFile, which finds the file on a file
// system that is case-sensitive, in the game's folders. On Windows this is plain fopen.
//
// The game's folders: started in a folder that holds the game data (build/game/, or
// any copy of it), the game reads and writes in its working folder, as it always has.
// Otherwise, when it is installed, it reads its data from the install's data folder,
// and the files it writes (brambleduck.ini) live in the player's own folder,
// $XDG_DATA_HOME/quendle (by default ~/.local/share/quendle), which is made when a
// file is first written there; a file the player's folder holds is read from there.
// Nothing is written into the install.
#pragma once

#include <cstdio>
#include <string>

struct GameFolders {
  std::string data;    // where the data is read from; "" for the working folder
  std::string player;  // where written files live; "" for the working folder
};

// The folders of a game whose install keeps its data in `installedData`, started in
// the working folder, with the environment's XDG_DATA_HOME and HOME (null when unset).
GameFolders ChooseGameFolders(const std::string& installedData, const char* xdgDataHome, const char* home);

// The path on this machine that a Windows-style path names, for reading, in the
// process's game folders (or in `folders`). Each component is matched exactly when it
// exists, otherwise without regard to ASCII letter case (the first match in name order
// when several differ only in case). A component that matches nothing is kept as
// written, so a file about to be created gets the name the game gave it.
std::string ResolvePath(const char* path);
std::string ResolvePathIn(const GameFolders& folders, const char* path);

// fopen of the file `path` names: for reading as ResolvePath finds it, for writing in
// the player's folder.
FILE* OpenGameFile(const char* path, const char* mode);
FILE* OpenGameFileIn(const GameFolders& folders, const char* path, const char* mode);
