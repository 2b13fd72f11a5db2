// Window classes, windows, their texts, focus and device contexts.
#include <algorithm>
#include <cstring>
#include <map>
#include <strings.h>

#include "platform/messages.h"
#include "platform/screen.h"

namespace {

struct WindowClass {
  WNDPROC proc;
  UINT style;
  uint32_t background;
};

struct CaseLess {
  bool operator()(const std::string& a, const std::string& b) const {
    return strcasecmp(a.c_str(), b.c_str()) < 0;
  }
};

std::map<std::string, WindowClass, CaseLess>& Classes() {
  static auto* classes = new std::map<std::string, WindowClass, CaseLess>;
  return *classes;
}

// Every window, in creation order.
std::vector<Window*>& Windows() {
  static auto* windows = new std::vector<Window*>;
  return *windows;
}

Window* focus = nullptr;

// Class brushes are system colour indices plus one; all of them but the window
// colour look like the classic grey face of dialogs and menus.
uint32_t BrushPixel(HBRUSH brush) {
  constexpr uintptr_t kColorWindow = 5;
  return reinterpret_cast<uintptr_t>(brush) == kColorWindow + 1 ? 0xFFFFFF : 0xD4D0C8;
}

void MarkForPaint(Window& window) {
  window.needsPaint = true;
  for (Window* child : window.children) MarkForPaint(*child);
}

void Erase(Window& top) {
  std::lock_guard lock(GdiMutex());
  std::fill(top.surface.pixels.begin(), top.surface.pixels.end(), top.background);
  top.surface.version++;
}

Window* NewWindow(const std::string& className, DWORD style, int x, int y, int width, int height,
                  Window* parent) {
  auto* window = new Window;
  window->className = className;
  window->style = style;
  window->parent = parent;
  window->rect = {x, y, x + std::max(width, 0), y + std::max(height, 0)};
  window->visible = (style & WS_VISIBLE) != 0;
  if (parent) {
    parent->children.push_back(window);
  } else {
    window->surface = Pixmap(std::clamp(width, 0, kMaxBitmapSide), std::clamp(height, 0, kMaxBitmapSide));
  }
  Windows().push_back(window);
  return window;
}

// Tells a window of a focus change. A control hears it at once; a game window gets
// it posted, because a control may move the focus while the window lock is held and
// game code never runs under that lock.
void Notify(HWND hwnd, UINT message, WPARAM other) {
  bool control;
  {
    std::lock_guard lock(WindowMutex());
    Window* window = LookupWindow(hwnd);
    if (!window) return;
    control = window->control != nullptr;
  }
  if (control) {
    SendMessageA(hwnd, message, other, 0);
  } else {
    PostMessageA(hwnd, message, other, 0);
  }
  Invalidate(hwnd);
}

}  // namespace

std::recursive_mutex& WindowMutex() {
  static auto* mutex = new std::recursive_mutex;
  return *mutex;
}

Window* LookupWindow(HWND hwnd) {
  auto* window = reinterpret_cast<Window*>(hwnd);
  bool live = std::find(Windows().begin(), Windows().end(), window) != Windows().end();
  return live ? window : nullptr;
}

Window* FocusWindow() { return focus; }

POINT Window::Origin() const {
  if (!parent) return {0, 0};
  POINT origin = parent->Origin();
  return {origin.x + rect.left, origin.y + rect.top};
}

bool Window::Shown() const { return visible && (!parent || parent->Shown()); }

Window* WindowAt(Window& window, POINT point) {
  if (point.x < 0 || point.y < 0 || point.x >= window.Width() || point.y >= window.Height()) return nullptr;
  for (auto it = window.children.rbegin(); it != window.children.rend(); ++it) {
    Window& child = **it;
    Window* found = child.visible ? WindowAt(child, {point.x - child.rect.left, point.y - child.rect.top}) : nullptr;
    if (found) return found;
  }
  return &window;
}

void Invalidate(HWND hwnd) {
  {
    std::lock_guard lock(WindowMutex());
    Window* window = LookupWindow(hwnd);
    if (!window) return;
    MarkForPaint(*window);
  }
  WakeMessageLoop();
}

ATOM RegisterClassA(const WNDCLASSA* wc) {
  if (!wc || !wc->lpfnWndProc || !wc->lpszClassName || !*wc->lpszClassName) return 0;
  std::lock_guard lock(WindowMutex());
  std::string name = wc->lpszClassName;
  if (Classes().count(name) || MakeControl(name, 0)) return 0;
  Classes()[name] = {wc->lpfnWndProc, wc->style, BrushPixel(wc->hbrBackground)};
  return ATOM(0xC000 + Classes().size());
}

HWND CreateWindowExA(DWORD, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parentHandle, HMENU, HINSTANCE, LPVOID) {
  if (!className) return nullptr;
  MessageLoopStarts();
  HWND hwnd;
  WNDPROC proc;
  {
    std::lock_guard lock(WindowMutex());
    Window* parent = LookupWindow(parentHandle);
    bool child = (style & WS_CHILD) != 0;
    if (child != (parent != nullptr)) return nullptr;
    auto found = Classes().find(className);
    std::unique_ptr<Control> control = found == Classes().end() ? MakeControl(className, style) : nullptr;
    if (found == Classes().end() && !control) return nullptr;

    if (x == CW_USEDEFAULT) x = y = 0;
    Window* window = NewWindow(className, style, x, y, width, height, parent);
    window->text = windowName ? windowName : "";
    if (control) {
      window->control = std::move(control);
    } else {
      window->proc = found->second.proc;
      window->classStyle = found->second.style;
      window->background = found->second.background;
    }
    if (!parent) {
      window->dc = CreateSurfaceDC(&window->surface);
      Erase(*window);
    }
    if (window->Shown()) MarkForPaint(*window);
    hwnd = window->Handle();
    proc = window->proc;
  }
  if (proc) proc(hwnd, WM_CREATE, 0, 0);
  WakeMessageLoop();
  return hwnd;
}

BOOL ShowWindow(HWND hwnd, int command) {
  std::lock_guard lock(WindowMutex());
  Window* window = LookupWindow(hwnd);
  if (!window) return FALSE;
  bool wasVisible = window->visible;
  window->visible = command != SW_HIDE;
  if (window->visible && !wasVisible) {
    if (!window->parent) {
      // The desktop erases a window as it appears, before the window paints.
      Erase(*window);
      if (ScreenAvailable()) ScreenShow(*window);
    }
    MarkForPaint(*window);
  }
  if (!window->visible && wasVisible) {
    if (window->parent) {
      MarkForPaint(window->TopLevel());
    } else if (ScreenAvailable()) {
      ScreenHide(*window);
    }
  }
  WakeMessageLoop();
  return wasVisible;
}

LRESULT DefWindowProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  std::lock_guard lock(WindowMutex());
  Window* window = LookupWindow(hwnd);
  if (!window) return 0;
  switch (message) {
    case WM_SETTEXT:
      window->text = lParam ? reinterpret_cast<const char*>(lParam) : "";
      if (!window->parent && ScreenAvailable()) ScreenSetCaption(*window);
      if (window->parent) MarkForPaint(*window);
      return TRUE;
    case WM_GETTEXT: {
      if (wParam == 0 || !lParam) return 0;
      size_t n = std::min(window->text.size(), size_t(wParam) - 1);
      memcpy(reinterpret_cast<char*>(lParam), window->text.data(), n);
      reinterpret_cast<char*>(lParam)[n] = 0;
      return LRESULT(n);
    }
    case WM_GETTEXTLENGTH:
      return LRESULT(window->text.size());
    case WM_CLOSE:
      // Windows would destroy the window; a program that leaves WM_CLOSE to the
      // default sees its window disappear.
      window->visible = false;
      if (!window->parent && ScreenAvailable()) ScreenHide(*window);
      return 0;
    default:
      return 0;
  }
}

BOOL SetWindowTextA(HWND hwnd, LPCSTR text) {
  return BOOL(SendMessageA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)));
}

int GetWindowTextA(HWND hwnd, LPSTR buffer, int size) {
  if (!buffer || size <= 0) return 0;
  buffer[0] = 0;
  return int(SendMessageA(hwnd, WM_GETTEXT, WPARAM(size), reinterpret_cast<LPARAM>(buffer)));
}

HWND SetFocus(HWND hwnd) {
  HWND previous;
  {
    std::lock_guard lock(WindowMutex());
    Window* window = LookupWindow(hwnd);
    if (hwnd && !window) return nullptr;
    previous = focus ? focus->Handle() : nullptr;
    if (window == focus) return previous;
    focus = window;
  }
  if (previous) Notify(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd));
  if (hwnd) Notify(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous));
  return previous;
}

HWND GetFocus() {
  std::lock_guard lock(WindowMutex());
  return focus ? focus->Handle() : nullptr;
}

HCURSOR LoadCursorA(HINSTANCE, LPCSTR name) {
  // The desktop's own arrow is the only cursor; the handle just names it.
  static int arrow;
  return name == IDC_ARROW ? reinterpret_cast<HCURSOR>(&arrow) : nullptr;
}

HDC GetDC(HWND hwnd) {
  std::lock_guard lock(WindowMutex());
  Window* window = LookupWindow(hwnd);
  return window && !window->parent ? window->dc : nullptr;
}

int ReleaseDC(HWND hwnd, HDC hdc) {
  // Every window keeps its own context (CS_OWNDC), so releasing it changes nothing.
  std::lock_guard lock(WindowMutex());
  Window* window = LookupWindow(hwnd);
  return window && window->dc == hdc ? 1 : 0;
}

bool DesktopAvailable() { return ScreenAvailable(); }

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  ScreenMessageBox(owner, text ? text : "", caption ? caption : "Error", type);
  return IDOK;
}

std::vector<Window*> TopLevelWindows() {
  std::vector<Window*> tops;
  for (Window* window : Windows()) {
    if (!window->parent) tops.push_back(window);
  }
  return tops;
}
