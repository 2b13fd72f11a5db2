// The desktop through SDL2: one desktop window for each shown top-level window,
// showing its surface at a whole-number scale, and the desktop's events as input.
#include "platform/screen.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/input.h"
#include "platform/messages.h"
#include "platform/screen_translate.h"

namespace {

constexpr const char* kWindowKey = "quendle.window";  // an SDL window's data: its Window
constexpr UINT kIconMask = 0xF0;                      // MB_ICONMASK
constexpr int kWheelDelta = 120;                      // WHEEL_DELTA: one notch

// The desktop window that shows one top-level window. Made and used on the main
// thread; other threads only read `window`, under WindowMutex.
struct DesktopWindow {
  ~DesktopWindow() {
    if (texture) SDL_DestroyTexture(texture);
    if (renderer) SDL_DestroyRenderer(renderer);
    if (window) SDL_DestroyWindow(window);
  }
  SDL_Window* window = nullptr;
  SDL_Renderer* renderer = nullptr;
  SDL_Texture* texture = nullptr;  // width x height
  int width = 0;                   // the surface's size when the desktop window opened
  int height = 0;
  uint64_t shownVersion = 0;       // the surface's version the texture holds
  POINT mouse = {0, 0};            // where the pointer last was, in surface coordinates
};

std::atomic<bool> forcedHeadless{false};
std::atomic<Uint32> wakeEvent{0};  // the event ScreenWake pushes; 0 until the display opens
// A wake is queued and not yet taken. Further wakes add nothing then, so that a busy
// main thread never finds its event queue filled with them.
std::atomic<bool> wakeQueued{false};
DesktopKeys desktopKeys;  // main thread only

bool OpenDisplay() {
  // Without a display named in the environment there is nothing to try (and SDL's
  // attempts only print warnings).
  if (forcedHeadless || (!getenv("DISPLAY") && !getenv("WAYLAND_DISPLAY"))) return false;
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");    // the window core handles SIGINT and SIGTERM
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");  // crisp, unsmoothed pixels
  // The software renderer's pixels go to the display as they are, not through GL.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
  // SDL falls back to drivers that show nothing (offscreen, dummy): that is no desktop.
  const char* driver = SDL_GetCurrentVideoDriver();
  if (!driver || (strcmp(driver, "x11") != 0 && strcmp(driver, "wayland") != 0)) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return false;
  }
  const Uint32 wake = SDL_RegisterEvents(1);
  if (wake != Uint32(-1)) wakeEvent = wake;
  SDL_StartTextInput();
  return true;
}

DesktopWindow* DesktopOf(Window& top) { return static_cast<DesktopWindow*>(top.screen); }

// The top-level window behind an SDL window id, or null.
Window* WindowOf(Uint32 windowId) {
  SDL_Window* window = SDL_GetWindowFromID(windowId);
  return window ? static_cast<Window*>(SDL_GetWindowData(window, kWindowKey)) : nullptr;
}

RECT UsableBounds() {
  SDL_Rect r;
  // Without bounds, DesktopPlacement puts the window at scale 1 in the corner.
  if (SDL_GetDisplayUsableBounds(0, &r) != 0) return {0, 0, 0, 0};
  return {r.x, r.y, r.x + r.w, r.y + r.h};
}

// A desktop window for `top`, at its position and size on the desktop; null (and a
// line on stderr) when SDL cannot make one.
std::unique_ptr<DesktopWindow> OpenDesktopWindow(Window& top) {
  const Pixmap& surface = top.surface;
  const RECT place =
      DesktopPlacement({top.rect.left, top.rect.top}, surface.width, surface.height, UsableBounds());
  auto desktop = std::make_unique<DesktopWindow>();
  desktop->window = SDL_CreateWindow(Utf8FromCp1252(top.text).c_str(), place.left, place.top,
                                     place.right - place.left, place.bottom - place.top, SDL_WINDOW_RESIZABLE);
  // The software renderer: scaling by a whole number is a cheap copy, and it needs no
  // GL driver, which remote and virtual displays often lack.
  if (desktop->window) desktop->renderer = SDL_CreateRenderer(desktop->window, -1, SDL_RENDERER_SOFTWARE);
  desktop->width = surface.width;
  desktop->height = surface.height;
  if (desktop->renderer) {
    desktop->texture = SDL_CreateTexture(desktop->renderer, SDL_PIXELFORMAT_XRGB8888,
                                         SDL_TEXTUREACCESS_STREAMING, surface.width, surface.height);
  }
  if (!desktop->texture) {
    std::fprintf(stderr, "no desktop window for \"%s\": %s\n", top.text.c_str(), SDL_GetError());
    return nullptr;
  }
  SDL_SetWindowMinimumSize(desktop->window, surface.width, surface.height);  // scale 1 at least
  SDL_SetWindowData(desktop->window, kWindowKey, &top);
  return desktop;
}

// Copies the surface into the texture if it holds pixels the desktop has not shown,
// and says whether it did.
bool Upload(DesktopWindow& desktop, Window& top) {
  const Pixmap& surface = top.surface;
  std::lock_guard lock(GdiMutex());
  if (!top.surfaceChanged && surface.version == desktop.shownVersion) return false;
  if (desktop.width != surface.width || desktop.height != surface.height) return false;
  desktop.shownVersion = surface.version;
  return SDL_UpdateTexture(desktop.texture, nullptr, surface.pixels.data(), surface.width * 4) == 0;
}

// Where the surface shows in its desktop window now. The window's pixels are its
// points too: the window asks for no high-density pixels.
SurfaceFit Fit(DesktopWindow& desktop) {
  int windowWidth = 0;
  int windowHeight = 0;
  SDL_GetRendererOutputSize(desktop.renderer, &windowWidth, &windowHeight);
  return FitSurface(desktop.width, desktop.height, windowWidth, windowHeight);
}

// Shows the texture at its whole-number scale, with the rest of the window black.
void Draw(DesktopWindow& desktop) {
  const SurfaceFit fit = Fit(desktop);
  const SDL_Rect place = {fit.origin.x, fit.origin.y, desktop.width * fit.scale, desktop.height * fit.scale};
  SDL_SetRenderDrawColor(desktop.renderer, 0, 0, 0, SDL_ALPHA_OPAQUE);
  SDL_RenderClear(desktop.renderer);
  SDL_RenderCopy(desktop.renderer, desktop.texture, nullptr, &place);
  SDL_RenderPresent(desktop.renderer);
}

// The surface point under a point of the desktop window that shows `top`.
POINT SurfacePointOf(Window& top, Sint32 x, Sint32 y) { return SurfacePoint(Fit(*DesktopOf(top)), {x, y}); }

void ToggleFullscreen(Uint32 windowId) {
  Window* top = WindowOf(windowId);
  if (!top) return;
  SDL_Window* window = DesktopOf(*top)->window;
  const bool full = SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN;
  SDL_SetWindowFullscreen(window, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
}

void TranslateKey(const SDL_KeyboardEvent& key) {
  const bool down = key.type == SDL_KEYDOWN;
  const DesktopKeys::Use use = desktopKeys.Take(key.keysym.sym, down, key.repeat != 0, key.keysym.mod & KMOD_ALT);
  if (use == DesktopKeys::kToggleFullscreen) ToggleFullscreen(key.windowID);
  if (use != DesktopKeys::kForGame) return;
  const int vk = VirtualKeyFromSdl(key.keysym.sym);
  if (vk == 0) return;
  InputKey(vk, down);  // a held key repeats as further key-downs, as on Windows
  // SDL makes no text of Ctrl+V; Windows makes it the character 22, which edit boxes
  // take as paste.
  const bool ctrl = (key.keysym.mod & KMOD_CTRL) && !(key.keysym.mod & KMOD_ALT);
  if (down && ctrl && vk == 'V') InputText("\x16");
}

void TranslateText(const char* utf8) {
  const std::string text = Cp1252FromUtf8(utf8);
  if (!text.empty()) InputText(text.c_str());
}

void TranslateMotion(const SDL_MouseMotionEvent& motion) {
  if (Window* top = WindowOf(motion.windowID)) DesktopOf(*top)->mouse = SurfacePointOf(*top, motion.x, motion.y);
}

void TranslateButton(const SDL_MouseButtonEvent& button) {
  Window* top = WindowOf(button.windowID);
  if (!top) return;
  const POINT point = SurfacePointOf(*top, button.x, button.y);
  DesktopOf(*top)->mouse = point;
  if (button.button == SDL_BUTTON_LEFT) InputMouseButton(*top, point, button.type == SDL_MOUSEBUTTONDOWN);
}

void TranslateWheel(const SDL_MouseWheelEvent& wheel) {
  Window* top = WindowOf(wheel.windowID);
  const int notches = wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -wheel.y : wheel.y;
  if (top && notches != 0) InputWheel(*top, DesktopOf(*top)->mouse, notches * kWheelDelta);
}

void TranslateWindowEvent(const SDL_WindowEvent& event) {
  Window* top = WindowOf(event.windowID);
  if (!top) return;
  switch (event.event) {
    case SDL_WINDOWEVENT_CLOSE:
      InputClose(*top);
      break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      // Resized or made fullscreen: the texture holds the latest pixels, so they show
      // at the new scale at once, however rarely the game draws.
      Draw(*DesktopOf(*top));
      break;
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_RESTORED:
      // The desktop lost the window's pixels: show them again, and repaint as
      // Windows does for an uncovered window.
      {
        std::lock_guard lock(WindowMutex());
        top->surfaceChanged = true;
      }
      Invalidate(top->Handle());
      break;
    default:
      break;
  }
}

void Translate(const SDL_Event& event) {
  switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      TranslateKey(event.key);
      break;
    case SDL_TEXTINPUT:
      TranslateText(event.text.text);
      break;
    case SDL_MOUSEMOTION:
      TranslateMotion(event.motion);
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      TranslateButton(event.button);
      break;
    case SDL_MOUSEWHEEL:
      TranslateWheel(event.wheel);
      break;
    case SDL_WINDOWEVENT:
      TranslateWindowEvent(event.window);
      break;
    default:
      // Taking the wake (with a read-modify-write) also orders this thread after
      // whatever the waker did before it asked to wake.
      if (event.type == wakeEvent) wakeQueued.exchange(false);
      break;
  }
}

// The desktop window of the top-level window that owns `owner`, or null.
SDL_Window* OwnerWindow(HWND owner) {
  std::lock_guard lock(WindowMutex());
  Window* window = LookupWindow(owner);
  DesktopWindow* desktop = window ? DesktopOf(window->TopLevel()) : nullptr;
  return desktop ? desktop->window : nullptr;
}

}  // namespace

bool ScreenAvailable() {
  static const bool available = OpenDisplay();
  return available;
}

void ScreenForceHeadless() { forcedHeadless = true; }

void ScreenShow(Window& top) {
  if (!ScreenAvailable()) return;
  std::lock_guard lock(WindowMutex());
  if (DesktopWindow* desktop = DesktopOf(top)) {
    SDL_ShowWindow(desktop->window);
    return;
  }
  // Lives as long as the window record, which is never freed.
  top.screen = OpenDesktopWindow(top).release();
  top.surfaceChanged = true;
}

void ScreenHide(Window& top) {
  std::lock_guard lock(WindowMutex());
  if (DesktopWindow* desktop = DesktopOf(top)) SDL_HideWindow(desktop->window);
}

void ScreenSetCaption(Window& top) {
  DesktopWindow* desktop = DesktopOf(top);
  if (desktop) SDL_SetWindowTitle(desktop->window, Utf8FromCp1252(top.text).c_str());
}

void ScreenPresent(Window& top) {
  std::lock_guard lock(WindowMutex());
  DesktopWindow* desktop = DesktopOf(top);
  if (!desktop || !Upload(*desktop, top)) return;
  top.surfaceChanged = false;
  Draw(*desktop);
}

void ScreenWaitEvents(int timeoutMs) {
  if (!ScreenAvailable()) return;
  SDL_Event event;
  if (!SDL_WaitEventTimeout(&event, std::max(timeoutMs, 0))) return;
  do {
    Translate(event);
  } while (SDL_PollEvent(&event));
}

void ScreenWake() {
  const Uint32 type = wakeEvent;
  if (type == 0 || wakeQueued.exchange(true)) return;
  SDL_Event event{};
  event.type = type;
  if (SDL_PushEvent(&event) != 1) wakeQueued = false;  // full or filtered: none is queued
}

void ScreenMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
  if (ScreenAvailable()) {
    const Uint32 icon = (type & kIconMask) == MB_ICONHAND ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION;
    const int shown = SDL_ShowSimpleMessageBox(icon, Utf8FromCp1252(caption).c_str(),
                                               Utf8FromCp1252(text).c_str(), OwnerWindow(owner));
    // SDL frees its per-thread storage only for threads that it started itself.
    if (!OnMainThread()) SDL_TLSCleanup();
    if (shown == 0) return;
  }
  std::fprintf(stderr, "%s: %s\n", caption, text);
}

std::string ScreenClipboardText() {
  if (!ScreenAvailable()) return "";
  char* utf8 = SDL_GetClipboardText();  // a copy to free; null only when memory ran out
  const std::string text = utf8 ? Cp1252FromUtf8(utf8) : "";
  SDL_free(utf8);
  return text;
}
