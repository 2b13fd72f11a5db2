// The server's process-wide state and routines: the slot and shot tables, who is "it",
// the outgoing world update, and the window. One lock guards the game state; it is
// never held across a send, a receive or a window call.
#pragma once

#include <mutex>

#include "platform/windows.h"
#include "protocol/messages.h"

struct ServerSlot {
  WORD x;
  WORD y;
  BYTE map;
  BYTE direction;
  BYTE character;
  BYTE frame;
  BYTE moving;
  BYTE active;
  char* name;  // a 25-byte buffer owned by the slot for the life of the process
};

struct ServerShot {
  WORD x;
  WORD y;
  BYTE direction;
  BYTE age;  // in flight while below kShotFlight
};

constexpr int kShotFlight = 35;
constexpr int kTagPause = 30;

extern ServerSlot slots[kSlotCount];
extern ServerShot shots[kShotCount];
extern int itSlot;
extern int tagCooldown;
extern BYTE psiPhase;
extern WorldUpdate outgoingUpdate;
extern std::mutex stateLock;

extern HWND mainWindow;
extern HWND playerList;
extern HWND statusLine;
extern HWND kickButton;
extern SOCKET listener;

// startup.cpp
// Registers the window class and shows the main window with its controls; false when
// the class cannot be registered.
bool OpenServerWindow(HINSTANCE instance, int showCommand);
void ServerInit();
void ServerShutdown();
bool ServerShuttingDown();
// Shows a text on the status line, and on standard output without a desktop.
void SetStatus(const char* text);

// slots.cpp
void RefreshPlayerList();
void KickRequest();
void CloseAllConnections();
// The body of one player's client thread.
void ClientLoop(void* start);
// What the admission of a newcomer asks of the slots: the lowest slot that is neither
// held by a player nor kept for another newcomer, kept now for this one (-1 when there
// is none), and given back when the newcomer does not join; the Welcome, which returns
// how many joins came before it; and the join itself, once the JoinReply is in.
int KeepSlotForNewcomer();
void ReleaseKeptSlot(int slot);
unsigned SendWelcome(int slot, SOCKET socket);
void JoinNewcomer(int slot, SOCKET socket, const JoinReply& reply, unsigned joinsBefore);

// newcomers.cpp
void AcceptLoop(void*);
// Closes the connection of every newcomer who has not joined yet.
void CloseNewcomers();

// game.cpp
void ServerTick();
void CheckTags();
void BuildWorldUpdate();
void LaunchPsi(int slot, BYTE direction);
int RandomBelow(int n);

// console.cpp
void StartConsole();
// Posted to the main window by the console: select row wParam and press "Kick".
constexpr UINT WM_CONSOLE_KICK = WM_USER + 1;
