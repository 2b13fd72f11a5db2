#include "content/generator/character_look.h"

#include <cctype>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>

namespace {

template <typename T>
struct Named {
  const char* name;
  T value;
};

const Named<Hair> kHairs[] = {{"short", Hair::kShort}, {"long", Hair::kLong}, {"curly", Hair::kCurly}, {"bob", Hair::kBob}};
const Named<Top> kTops[] = {{"tshirt", Top::kTshirt}, {"dress", Top::kDress}, {"hoodie", Top::kHoodie},
                            {"coat", Top::kCoat},     {"pyjamas", Top::kPyjamas}};
const Named<Extra> kExtras[] = {{"none", Extra::kNone},
                                {"backpack", Extra::kBackpack},
                                {"headband", Extra::kHeadband},
                                {"sunglasses", Extra::kSunglasses},
                                {"glasses", Extra::kGlasses}};
const Named<bool> kBuilds[] = {{"slim", false}, {"broad", true}};

// Every key a character needs, besides the optional "build" and "extra".
const std::set<std::string> kRequired = {"skin", "hair", "top", "trim", "legs", "shoes"};

template <typename T, size_t N>
bool ParseName(std::istream& words, const Named<T> (&names)[N], T& out) {
  std::string word;
  if (!(words >> word)) return false;
  for (const Named<T>& named : names) {
    if (word == named.name) return out = named.value, true;
  }
  return false;
}

// "#RRGGBB"
bool ParseColor(std::istream& words, uint32_t& out) {
  std::string word;
  if (!(words >> word) || word.size() != 7 || word[0] != '#') return false;
  uint32_t value = 0;
  for (char c : word.substr(1)) {
    int digit = std::isdigit(uint8_t(c)) ? c - '0' : std::isxdigit(uint8_t(c)) ? std::tolower(c) - 'a' + 10 : -1;
    if (digit < 0) return false;
    value = value << 4 | uint32_t(digit);
  }
  out = value;
  return true;
}

// One "key values..." line into `look`; false when the key or its values are wrong.
bool ParseField(const std::string& key, std::istream& words, CharacterLook& look) {
  if (key == "build") return ParseName(words, kBuilds, look.broad);
  if (key == "skin") return ParseColor(words, look.skin);
  if (key == "hair") return ParseName(words, kHairs, look.hair) && ParseColor(words, look.hairColor);
  if (key == "top") return ParseName(words, kTops, look.top) && ParseColor(words, look.topColor);
  if (key == "trim") return ParseColor(words, look.trim);
  if (key == "legs") return ParseColor(words, look.legs);
  if (key == "shoes") return ParseColor(words, look.shoes);
  if (key == "extra") {
    return ParseName(words, kExtras, look.extra) && (look.extra == Extra::kNone || ParseColor(words, look.extraColor));
  }
  return false;
}

bool Complete(const std::set<std::string>& seen) {
  for (const std::string& key : kRequired) {
    if (!seen.count(key)) return false;
  }
  return true;
}

}  // namespace

std::optional<std::vector<CharacterLook>> ReadCharacters(const std::filesystem::path& path) {
  std::ifstream file(path);
  if (!file) {
    fprintf(stderr, "%s: cannot read\n", path.c_str());
    return std::nullopt;
  }
  std::vector<CharacterLook> looks;
  std::set<std::string> seen;
  auto fail = [&](int line, const char* what) {
    fprintf(stderr, "%s:%d: %s\n", path.c_str(), line, what);
    return std::nullopt;
  };
  std::string text;
  int line = 0;
  while (std::getline(file, text)) {
    line++;
    std::istringstream words(text);
    std::string key, rest;
    if (!(words >> key) || key[0] == '#') continue;
    if (key == "sheet") {
      if (!looks.empty() && !Complete(seen)) return fail(line, "the character before lacks a field");
      looks.emplace_back();
      seen.clear();
      if (!(words >> looks.back().sheet)) return fail(line, "sheet without a name");
    } else if (looks.empty()) {
      return fail(line, "a field before the first sheet");
    } else if (!seen.insert(key).second) {
      return fail(line, "a field given twice");
    } else if (!ParseField(key, words, looks.back())) {
      return fail(line, "unknown field or wrong value");
    }
    if (words >> rest) return fail(line, "extra words at the end");
  }
  if (looks.empty() || !Complete(seen)) return fail(line, "a character lacks a field, or none is given");
  return looks;
}
