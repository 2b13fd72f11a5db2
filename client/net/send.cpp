// What the client sends during play, always from the network thread right after a
// message from the server: the chat line, the throw, and the position report.
#include "client/net/net.h"
#include "client/shell/shell.h"
#include "client/world/world.h"
#include "protocol/messages.h"

namespace {

// Sends one whole record; on failure shows the box and ends the connection.
template <typename T>
void Send(const T& record, const char* boxText, const char* status) {
  if (send(gameSocket, reinterpret_cast<const char*>(&record), sizeof record, 0) == sizeof record) return;
  MessageBoxA(nullptr, boxText, "Error on send()", MB_TOPMOST);
  EndConnection(status);
}

bool Connected() {
  std::lock_guard lock(worldLock);
  return connected == 1;
}

// A request that found its flag set clears it, whether or not it can be sent.
bool Take(BYTE& flag) {
  std::lock_guard lock(worldLock);
  bool set = flag != 0;
  flag = 0;
  return set;
}

void SendThrow() {
  PsiRequest request = {TypePsiRequest, 0};
  {
    std::lock_guard lock(worldLock);
    // "it" may have passed on with the message just handled.
    if (localSlot != itSlot || connected != 1) return;
    request.direction = BYTE(LocalPlayer().direction);
  }
  Send(request, "Big fat winsock error on send()!!!!", "Error Sending info");
}

void SendPosition() {
  PositionReport report;
  {
    std::lock_guard lock(worldLock);
    if (connected != 1) return;
    const Actor& me = LocalPlayer();
    report = {TypePositionReport, me.x, me.y, LocationByte(me.map, BYTE(me.direction)),
              StateCode(1, me.frame, me.moving)};
  }
  Send(report, "Big fat winsock error!!!", "Error Sending Info");
}

}  // namespace

void SendPending(BYTE receivedType) {
  if (Take(chatPending)) SendChat();
  if (Take(psiRequested)) SendThrow();
  if (receivedType == TypeWorldUpdate) SendPosition();
}

void SendChat() {
  ChatRequest request = {};
  request.type = TypeChatRequest;
  GetWindowTextA(chatBox, request.text, sizeof request.text);
  if (Connected()) Send(request, "Big fat winsock error on send()!!!!", "Error Sending info");
  SetWindowTextA(chatBox, "");
}
