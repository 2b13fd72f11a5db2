// What a player character looks like, as content/sprites/characters.txt describes it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

enum class Hair { kShort, kLong, kCurly, kBob };
enum class Top { kTshirt, kDress, kHoodie, kCoat, kPyjamas };
enum class Extra { kNone, kBackpack, kHeadband, kSunglasses, kGlasses };

struct CharacterLook {
  std::string sheet;  // file name of the sheet without ".bmp"
  bool broad = false;  // a wider body
  uint32_t skin = 0;
  Hair hair = Hair::kShort;
  uint32_t hairColor = 0;
  Top top = Top::kTshirt;
  uint32_t topColor = 0;
  uint32_t trim = 0;  // collars, stripes, buttons, drawstrings
  uint32_t legs = 0;  // trousers, or tights under a dress
  uint32_t shoes = 0;
  Extra extra = Extra::kNone;
  uint32_t extraColor = 0;
};

// Reads every character of a characters file in order. Reports the first problem, with its
// line, on standard error and returns nothing.
std::optional<std::vector<CharacterLook>> ReadCharacters(const std::filesystem::path& path);
