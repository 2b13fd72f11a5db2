// Data files, on Windows: the game's own Windows-style paths, relative to the working
// folder, as they are.
#pragma once

#include <cstdio>

FILE* OpenGameFile(const char* path, const char* mode);
