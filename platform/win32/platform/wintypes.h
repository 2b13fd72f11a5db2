// The basic Windows types, on Windows: the real ones.
#pragma once

#include <windows.h>
