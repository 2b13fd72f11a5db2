// A map source made into its level records and its picture.
#pragma once

#include <filesystem>
#include <optional>

#include "content/generator/image.h"
#include "content/generator/level_file.h"
#include "content/generator/map_source.h"

// Reads the source of the map named `name` (content/maps/<name>.txt); reports a problem
// on standard error.
std::optional<MapSource> ReadMapFile(const std::filesystem::path& sources, std::string_view name);
// The obstacles and doors of the source's features in source order, or nothing when one
// leaves the map (reported on standard error with its line).
std::optional<Level> LevelOf(const MapSource& map, std::string_view name);
// The picture, half the map's size: the ground in source order, then what stands on it
// from the back to the front.
Image PictureOf(const MapSource& map);
