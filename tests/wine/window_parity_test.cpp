// The main windows of both programs as our Linux layer shows them and as Windows (Wine)
// does: every control at the same place and size, with the same border, text in the
// same cells, the same list rows and scroll bar. Fonts differ, so glyphs are not
// compared; Wine's prefix has the classic look our layer draws. Each picture
// is left in the test's folder as a BMP file for a person to look at.
#include <gtest/gtest.h>

#include <signal.h>

#include <thread>

#include "tests/server/server_process.h"
#include "tests/support/window_capture.h"
#include "tests/wine/window_picture.h"
#include "tests/wine/wine_desktop.h"

namespace {

constexpr std::chrono::milliseconds kSettle{200};

// A picture of the window, black in the areas that are not compared.
std::optional<Picture> Capture(const std::string& window, const std::vector<Area>& ignored) {
  std::optional<Picture> picture = CaptureWindow(window);
  if (!picture) return std::nullopt;
  for (const Area& a : ignored)
    for (int y = std::max(a.top, 0); y < std::min(a.bottom, picture->height); y++)
      for (int x = std::max(a.left, 0); x < std::min(a.right, picture->width); x++)
        picture->At(x, y) = 0;
  return picture;
}

// A picture of the window once it shows the same twice in a row, as it does when it
// has painted everything.
std::optional<Picture> SettledPicture(const std::string& window, const std::vector<Area>& ignored) {
  const auto deadline = std::chrono::steady_clock::now() + kPrompt;
  std::optional<Picture> last = Capture(window, ignored);
  while (last && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(kSettle);
    std::optional<Picture> next = Capture(window, ignored);
    if (next && next->pixels == last->pixels) return next;
    last = next;
  }
  return std::nullopt;
}

// The text cells of an edit box or a button at (x, y), width x height, as the programs
// create them: inside the one-pixel border, and for a button inside its bevel too, but
// for the bevel's bottom, which a descender may cross.
TextCell Edit(const std::string& name, int x, int y, int width, int height) {
  return {name, {x + 1, y + 1, x + width - 1, y + height - 1}};
}
TextCell Button(const std::string& name, int x, int y, int width, int height) {
  return {name, {x + 3, y + 3, x + width - 3, y + height - 1}};
}
// A radio button's label, right of its circle.
TextCell Radio(const std::string& name, int x, int y, int width, int height) {
  return {name, {x + 14, y, x + width, y + height}};
}

std::vector<TextCell> ClientCells() {
  std::vector<TextCell> cells = {Edit("address box", 0, 380, 550, 19), Edit("name box", 0, 400, 600, 18),
                                 Edit("status box", 0, 417, 600, 18),  Edit("chat box", 0, 434, 550, 18),
                                 Button("Go!", 555, 381, 75, 19),      Button("Say", 555, 434, 75, 19)};
  const char* names[5] = {"Tovi", "Mirra", "Gast", "Quel", "Tovi(PJs)"};
  for (int i = 0; i < 5; i++) cells.push_back(Radio(names[i], 75 * i, 359, i == 4 ? 100 : 75, 21));
  return cells;
}

// The picture above the controls (the title, or the game's view) is the frames' to match.
const std::vector<Area> kClientPicture = {{0, 0, 640, 359}};

void ExpectSameStructure(const std::string& name, const Picture& ours, const Picture& reference,
                         const std::vector<TextCell>& cells, const std::vector<Area>& ignored) {
  WritePicture(ours, name + "-ours.bmp");
  WritePicture(reference, name + "-wine.bmp");
  Picture shown;
  const std::vector<std::string> differences = StructureDifferences(ours, reference, cells, ignored, shown);
  WritePicture(shown, name + "-differences.bmp");
  for (const std::string& line : differences) ADD_FAILURE() << name << ": " << line;
}

// The client's window before "Go!", or once it has joined `server` with "Go!"; the
// client then leaves with Escape.
std::optional<Picture> ClientWindow(WineDesktop& desktop, std::unique_ptr<ChildProcess> client,
                                    ServerProcess* server) {
  std::optional<std::string> window = desktop.Window("Vellumstone Brambleduck");
  if (!window) return std::nullopt;
  if (server) {
    desktop.Click(*window, 592, 390);
    if (server->ListOnceItShows(Rows({"Anonymous"})) != Rows({"Anonymous"})) return std::nullopt;
  }
  std::optional<Picture> picture = SettledPicture(*window, kClientPicture);
  desktop.Xdotool({"key", "Escape"});
  if (client->Wait(kPrompt) != 0) return std::nullopt;
  if (server && server->ListOnceItShows(Rows({})) != Rows({})) return std::nullopt;
  return picture;
}

TEST(WindowParity, TheClientsWindowBeforeGo) {
  WineDesktop desktop;
  ASSERT_TRUE(desktop.Ready());
  std::optional<Picture> wine = ClientWindow(desktop, desktop.Start("quendle.exe"), nullptr);
  ASSERT_TRUE(wine);
  std::optional<Picture> ours = ClientWindow(desktop, desktop.StartOurs("quendle"), nullptr);
  ASSERT_TRUE(ours);
  ExpectSameStructure("client-before-go", *ours, *wine, ClientCells(), kClientPicture);
}

TEST(WindowParity, TheClientsWindowInTheGame) {
  ServerProcess server;
  ASSERT_TRUE(server.Listening());
  WineDesktop desktop;
  ASSERT_TRUE(desktop.Ready());
  std::optional<Picture> wine = ClientWindow(desktop, desktop.Start("quendle.exe"), &server);
  ASSERT_TRUE(wine);
  std::optional<Picture> ours = ClientWindow(desktop, desktop.StartOurs("quendle"), &server);
  ASSERT_TRUE(ours);
  ExpectSameStructure("client-in-game", *ours, *wine, ClientCells(), kClientPicture);
  EXPECT_EQ(server.Stop(), 0);
}

// The player list (300, 20, 175 x 100) has a vertical scroll bar; its rows are
// kListRow high.
constexpr int kListRow = 16;
constexpr int kScrollBar = 16;

std::vector<TextCell> ServerCells() {
  std::vector<TextCell> cells = {Edit("status line", 20, 350, 460, 20), Button("Kick", 300, 130, 55, 25)};
  for (int row = 0; 21 + kListRow * (row + 1) <= 119; row++) {
    cells.push_back({"list row " + std::to_string(row),
                     {301, 21 + kListRow * row, 474 - kScrollBar, 21 + kListRow * (row + 1)}});
  }
  return cells;
}

// The server's window with three players in its list and the second row selected; the
// server then ends.
std::optional<Picture> ServerWindow(WineDesktop& desktop, std::unique_ptr<ChildProcess> server) {
  std::optional<std::string> window = desktop.Window("Vellumstone Brambleduck Server");
  if (!window) return std::nullopt;
  std::vector<std::unique_ptr<Player>> players;
  players.push_back(ConnectOnceListening());
  if (!players[0]) return std::nullopt;
  for (int i = 0; i < 3; i++) {
    if (i > 0) players.push_back(std::make_unique<Player>());
    if (Join(*players.back(), 1, "P" + std::to_string(i)) != i) return std::nullopt;
  }
  // The list is filled again a moment after each join, which clears its selection.
  if (!SettledPicture(*window, {})) return std::nullopt;
  desktop.Click(*window, 380, 21 + kListRow + kListRow / 2);
  desktop.Xdotool({"mousemove", "--window", *window, "10", "10"});
  std::optional<Picture> picture = SettledPicture(*window, {});
  desktop.Xdotool({"key", "alt+F4"});
  server->Signal(SIGTERM);
  server->Wait(kPrompt);
  return picture;
}

TEST(WindowParity, TheServersWindowWithPlayers) {
  WineDesktop desktop;
  ASSERT_TRUE(desktop.Ready());
  std::optional<Picture> wine = ServerWindow(desktop, desktop.Start("quendlehost.exe"));
  ASSERT_TRUE(wine);
  std::optional<Picture> ours = ServerWindow(desktop, desktop.StartOurs("quendlehost"));
  ASSERT_TRUE(ours);
  ExpectSameStructure("server", *ours, *wine, ServerCells(), {});
}

}  // namespace
