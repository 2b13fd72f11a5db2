#include "content/generator/level_file.h"

namespace {

void Put8(std::vector<uint8_t>& out, unsigned v) { out.push_back(uint8_t(v)); }
void Put16(std::vector<uint8_t>& out, unsigned v) { Put8(out, v), Put8(out, v >> 8); }

// Reads from the front of `bytes`; once a read runs past the end, `ok` stays false and
// every read gives 0.
struct Reader {
  std::span<const uint8_t> bytes;
  bool ok = true;

  unsigned Get8() {
    if (bytes.empty()) return ok = false, 0;
    unsigned v = bytes[0];
    bytes = bytes.subspan(1);
    return v;
  }
  WORD Get16() {
    unsigned low = Get8();
    return WORD(low | Get8() << 8);
  }
};

}  // namespace

std::vector<uint8_t> EncodeLevel(const Level& level) {
  std::vector<uint8_t> out;
  Put8(out, unsigned(level.picture.size()));
  for (char c : level.picture) Put8(out, uint8_t(c));
  Put8(out, 0);
  Put16(out, unsigned(level.obstacles.size()));
  Put8(out, unsigned(level.doors.size()));
  for (const Obstacle& o : level.obstacles) {
    Put16(out, o.x), Put16(out, o.y), Put16(out, o.width), Put16(out, o.height), Put8(out, o.shape);
  }
  for (const Door& d : level.doors) {
    Put16(out, d.x), Put16(out, d.y), Put16(out, d.width), Put16(out, d.height), Put8(out, d.shape);
    Put8(out, d.targetMap), Put16(out, d.targetX), Put16(out, d.targetY);
  }
  return out;
}

std::optional<Level> DecodeLevel(std::span<const uint8_t> bytes) {
  Reader in{bytes};
  Level level;
  for (unsigned n = in.Get8(); n > 0 && in.ok; n--) level.picture.push_back(char(in.Get8()));
  in.Get8();
  level.obstacles.resize(in.Get16());
  level.doors.resize(in.Get8());
  for (Obstacle& o : level.obstacles) {
    if (!in.ok) break;  // a huge count in a short file must not take long
    o = {in.Get16(), in.Get16(), in.Get16(), in.Get16(), BYTE(in.Get8())};
  }
  for (Door& d : level.doors) {
    d = {in.Get16(), in.Get16(), in.Get16(), in.Get16(), BYTE(in.Get8()), BYTE(in.Get8()), in.Get16(), in.Get16()};
  }
  if (!in.ok || !in.bytes.empty() || level.picture.empty()) return {};
  return level;
}
