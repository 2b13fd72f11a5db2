// The client's side of a connection to a server: the join on a thread of its own, then
// one network thread that reads every message the server sends and, after each, sends
// what the player asked for and the answer to a world update.
//
// Only one attempt runs at a time: "Go!" is ignored while ConnectionBusy().
#pragma once

#include "platform/windows.h"
#include "protocol/messages.h"

extern SOCKET gameSocket;

// Main thread, on "Go!" while not connected: makes the socket, shows the attempt and
// starts ConnectThread. Returns at once.
void StartConnection();
// True from StartConnection until the attempt's last network thread has finished.
bool ConnectionBusy();
// Ends the connection, if there is one: the first thread to find it connected clears
// `connected` and closes the socket, so that the socket is closed once whoever ends it.
void DropConnection();

// Thread bodies (the argument is unused).
void ConnectThread(void*);
void ReceiveLoop(void*);

// Connect thread: a server's Welcome, whose slot is one of the fifteen, written into
// the world with the local player's name and character; the JoinReply that answers it.
JoinReply TakeWelcome(const Welcome& welcome);
// Network thread: one whole message the server sent during play, written into the
// world; ReceiveLoop calls it for every message it reads.
void TakeMessage(const BYTE* message, int length);

// Network thread, after every handled message: the chat line, the throw, and the
// position report when the message was a world update.
void SendPending(BYTE receivedType);
void SendChat();

// Shared by the connection's threads: the status line; ending the connection with a
// status text; and the end of the attempt's last thread, after which "Go!" works again.
void ShowStatus(const char* text);
void EndConnection(const char* status);
void AttemptEnded();
