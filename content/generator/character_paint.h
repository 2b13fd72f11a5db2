// The few ways a character's parts are painted: each part gets a dark rim and is lit from the
// top left, so that a small figure reads well over any ground.
#pragma once

#include <cstdint>
#include <functional>

#include "content/generator/image.h"

// A pixel no part covers; only pixels of this value are see-through in a figure.
constexpr uint32_t kClear = 0xFFFFFFFF;

// Lays over `canvas` whatever `shape` fills on a clear layer of the same size: in `color`,
// with every third column in `stripe` unless that is kClear, and a rim of a dark `color`
// around it.
void PaintPart(Image& canvas, uint32_t color, const std::function<void(Image&)>& shape, uint32_t stripe = kClear);

// A limb from `a` to `b`, `radius` thick, with round ends.
void FillCapsule(Image& image, Point a, Point b, double radius, uint32_t color);

// `image` seen in a mirror: left and right swapped.
Image Mirrored(const Image& image);
