#include "platform/files.h"

FILE* OpenGameFile(const char* path, const char* mode) { return fopen(path, mode); }
