#include "content/generator/map_source.h"

#include <algorithm>
#include <charconv>
#include <sstream>

#include "content/generator/level_table.h"
#include "content/generator/map_kinds.h"

namespace {

struct Token {
  std::string text;
  bool quoted = false;
};

// Splits a line at blanks; "..." is one token; '#' outside quotes ends the line.
bool Tokens(const std::string& line, std::vector<Token>& out, std::string& error) {
  for (size_t i = 0; i < line.size();) {
    char c = line[i];
    if (c == '#') break;
    if (c == ' ' || c == '\t' || c == '\r') {
      i++;
    } else if (c == '"') {
      size_t end = line.find('"', i + 1);
      if (end == std::string::npos) return error = "a text without its closing quote", false;
      out.push_back({line.substr(i + 1, end - i - 1), true});
      i = end + 1;
    } else {
      size_t end = line.find_first_of(" \t\r#\"", i);
      if (end == std::string::npos) end = line.size();
      out.push_back({line.substr(i, end - i), false});
      i = end;
    }
  }
  return true;
}

bool IsNumber(const Token& token, int& value) {
  const char* end = token.text.data() + token.text.size();
  auto [last, ec] = std::from_chars(token.text.data(), end, value);
  return !token.quoted && ec == std::errc() && last == end && value >= 0 && value <= 0xFFFF;
}

bool Listed(std::string_view list, std::string_view word) {
  std::istringstream words{std::string(list)};
  for (std::string w; words >> w;) {
    if (w == word) return true;
  }
  return false;
}

int MapNumber(std::string_view name) {
  auto at = std::find(kMapNames.begin(), kMapNames.end(), name);
  return at == kMapNames.end() ? -1 : int(at - kMapNames.begin());
}

// Takes the arguments of one line in turn; the first problem is kept in `error`.
struct LineReader {
  const Kind& kind;
  const std::vector<Token>& tokens;
  std::string& error;
  size_t next = 1;

  const Token* Take(const std::string& what) {
    if (next < tokens.size()) return &tokens[next++];
    error = std::string(kind.name) + " needs " + what;
    return nullptr;
  }
  bool Fail(const std::string& problem) { return error = problem, false; }

  bool Number(int& value) {
    const Token* t = Take("more numbers");
    return t && (IsNumber(*t, value) || Fail("'" + t->text + "' is not a number from 0 to 65535"));
  }
  bool Style(std::string& style) {
    const Token* t = Take("a style: " + kind.styles);
    if (!t) return false;
    if (t->quoted || !Listed(kind.styles, t->text)) {
      return Fail("'" + t->text + "' is no style of " + std::string(kind.name) + ": " + kind.styles);
    }
    style = t->text;
    return true;
  }
  bool Text(std::string& text) {
    const Token* t = Take("a quoted text");
    if (!t) return false;
    if (!t->quoted) return Fail("'" + t->text + "' should be a quoted text");
    text = t->text;
    return true;
  }
  bool Target(Feature& f) {
    const Token* arrow = Take("-> MAP X Y");
    if (!arrow) return false;
    if (arrow->text != "->") return Fail(std::string(kind.name) + " needs -> MAP X Y");
    const Token* map = Take("a target map");
    if (!map) return false;
    f.targetMap = MapNumber(map->text);
    if (f.targetMap < 0) return Fail("'" + map->text + "' is not one of the ten maps");
    return Number(f.targetX) && Number(f.targetY);
  }

  bool Argument(char letter, Feature& f) {
    switch (letter) {
      case 'n': return Number(f.numbers.emplace_back());
      case 's': return Style(f.style);
      case 't': return Text(f.text);
      default: return Target(f);
    }
  }

  // Reads the arguments as the kind's letters say.
  bool Arguments(Feature& f) {
    for (char a : kind.arguments) {
      if (!Argument(a, f)) return false;
    }
    return next == tokens.size() || Fail("'" + tokens[next].text + "' is one argument too many");
  }
};

bool Header(const std::vector<Token>& tokens, MapSource& map, std::string& error) {
  bool ok = tokens.size() == 4 && tokens[0].text == "map" && IsNumber(tokens[1], map.width) &&
            IsNumber(tokens[2], map.height) && !tokens[3].quoted && tokens[3].text.ends_with(".bmp") &&
            tokens[3].text.find_first_of("/\\") == std::string::npos;
  if (!ok) return error = "the first line must be: map WIDTH HEIGHT PICTURE.bmp", false;
  if (map.width < 2 || map.height < 2 || map.width % 2 || map.height % 2) {
    return error = "the map size must be even: the picture is half of it", false;
  }
  map.picture = tokens[3].text;
  return true;
}

}  // namespace

std::optional<MapSource> ReadMapSource(std::istream& in, std::string& error) {
  MapSource map;
  int number = 0;
  for (std::string line; std::getline(in, line);) {
    number++;
    std::vector<Token> tokens;
    if (!Tokens(line, tokens, error)) break;
    if (tokens.empty()) continue;
    if (map.picture.empty()) {
      if (!Header(tokens, map, error)) break;
      continue;
    }
    const Kind* kind = FindKind(tokens[0].text);
    if (!kind) {
      error = "'" + tokens[0].text + "' is not a kind of feature";
      break;
    }
    Feature f;
    f.kind = tokens[0].text, f.line = number;
    if (!LineReader{*kind, tokens, error}.Arguments(f)) break;
    map.features.push_back(std::move(f));
  }
  if (error.empty() && map.picture.empty()) error = "no map line", number = 0;
  if (error.empty()) return map;
  error = "line " + std::to_string(number) + ": " + error;
  return {};
}
