// A whole character in one pose, as the sprite sheets and the title picture show it.
#pragma once

#include "content/generator/character_look.h"
#include "content/generator/image.h"

constexpr int kFigureWidth = 32, kFigureHeight = 48;

// `look` facing `direction` (0 down, 1 left, 2 up, 3 right, 8 down-left, 9 up-left, 10 up-right,
// 11 down-right) in walking phase 0 or 1, on a kFigureWidth x kFigureHeight picture with the
// soles on its bottom row; pixels the figure does not cover are kClear.
Image DrawFigure(const CharacterLook& look, int direction, int phase);
