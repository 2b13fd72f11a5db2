// Data files. The game names its files the Windows way ("images\sprites\TOVI.bmp"):
// backslash separators, any letter case, relative to the working folder. Every data
// file the game reads or writes is opened through OpenGameFile, which finds the file
// on a file system that is case-sensitive. On Windows this is plain fopen.
#pragma once

#include <cstdio>
#include <string>

// The path on this machine that a Windows-style path names. Each component is
// matched exactly when it exists, otherwise without regard to ASCII letter case
// (the first match in name order when several differ only in case). A component
// that matches nothing is kept as written, so a file about to be created gets the
// name the game gave it.
std::string ResolvePath(const char* path);

// fopen of ResolvePath(path).
FILE* OpenGameFile(const char* path, const char* mode);
