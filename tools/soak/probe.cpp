#include "tools/soak/probe.h"

#include <cstring>

int Probe::Greeting(Clock::time_point deadline) {
  Welcome welcome;
  auto* bytes = reinterpret_cast<BYTE*>(&welcome);
  for (size_t have = 0; have < sizeof welcome;) {
    int got = link.Receive(bytes + have, sizeof welcome - have, deadline);
    if (got <= 0) return -1;
    if (have == 0 && bytes[0] == kServerFull) return got == 1 ? kRefused : -1;
    have += size_t(got);
  }
  return welcome.slot < kSlotCount ? welcome.slot : -1;
}

int Probe::Join(Clock::time_point deadline) {
  int slot = Greeting(deadline);
  JoinReply reply = {2, "Storm"};
  if (slot >= 0 && !link.Send(reply, deadline)) return -1;
  return slot;
}

bool Probe::NextUpdate(Clock::time_point deadline, WorldUpdate* update) {
  BYTE message[kLongestMessage];
  while (true) {
    for (int length; (length = StreamTake(&stream_, MeasureFromServer, message)) > 0;) {
      if (message[0] != TypeWorldUpdate) continue;
      if (update) memcpy(update, message, sizeof *update);
      return true;
    }
    BYTE received[sizeof stream_.pending];
    int got = link.Receive(received, size_t(StreamRoom(&stream_)), deadline);
    if (got <= 0) return false;
    StreamAdd(&stream_, received, got);
  }
}

bool Probe::Report(BYTE state, Clock::time_point deadline, WorldUpdate* update) {
  PositionReport report = {TypePositionReport, 600, 600, LocationByte(0, 0), state};
  return link.Send(report, deadline) && (state == 0 || NextUpdate(deadline, update));
}
