// Windows, messages, timers, focus and message boxes, under the Windows names and with
// the Windows meaning.
//
// What the game may rely on:
// - Every window belongs to the main thread, which runs the message loop. Sizes given
//   to CreateWindowExA are client-area sizes. A window's client area is a 32-bit pixel
//   surface: GetDC draws into it, child controls paint themselves into it, and the
//   screen shows it. A parent does not clip its children.
// - SetWindowTextA, GetWindowTextA, SendMessageA to a control, PostMessageA and
//   PostQuitMessage are safe from any thread.
// - WM_TIMER arrives when a timer is due and never piles up behind a busy loop.
// - Without a display the same windows live in memory; MessageBoxA then prints
//   "caption: text" on standard error and returns at once.
#pragma once

#include "platform/wintypes.h"

typedef uintptr_t UINT_PTR;
typedef WORD ATOM;
typedef LRESULT (*WNDPROC)(HWND, UINT, WPARAM, LPARAM);
typedef void (*TIMERPROC)(HWND, UINT, UINT_PTR, DWORD);

struct WNDCLASSA {
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;
  LPCSTR lpszMenuName;
  LPCSTR lpszClassName;
};

struct MSG {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  DWORD time;
  POINT pt;
};

#define MAKEINTRESOURCEA(i) (reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(WORD(i))))
#define IDC_ARROW MAKEINTRESOURCEA(32512)
#define LOWORD(l) (WORD(uintptr_t(l) & 0xFFFF))
#define HIWORD(l) (WORD((uintptr_t(l) >> 16) & 0xFFFF))
#define MAKELPARAM(lo, hi) (LPARAM(DWORD(WORD(lo)) | (DWORD(WORD(hi)) << 16)))

// Class styles.
#define CS_VREDRAW 0x0001
#define CS_HREDRAW 0x0002
#define CS_OWNDC 0x0020

// Window styles.
#define WS_POPUP 0x80000000u
#define WS_CHILD 0x40000000u
#define WS_VISIBLE 0x10000000u
#define WS_CAPTION 0x00C00000u
#define WS_BORDER 0x00800000u
#define WS_VSCROLL 0x00200000u
#define WS_SYSMENU 0x00080000u
#define WS_THICKFRAME 0x00040000u
#define WS_MINIMIZEBOX 0x00020000u
#define WS_MAXIMIZEBOX 0x00010000u
#define WS_OVERLAPPEDWINDOW (0x00000000u | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)
#define ES_AUTOHSCROLL 0x0080
#define ES_READONLY 0x0800
#define BS_PUSHBUTTON 0x0000
#define BS_AUTORADIOBUTTON 0x0009
#define CW_USEDEFAULT (int(0x80000000u))

// ShowWindow.
#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_SHOW 5
#define SW_SHOWDEFAULT 10

// Messages.
#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_SETFOCUS 0x0007
#define WM_KILLFOCUS 0x0008
#define WM_SETTEXT 0x000C
#define WM_GETTEXT 0x000D
#define WM_GETTEXTLENGTH 0x000E
#define WM_PAINT 0x000F
#define WM_CLOSE 0x0010
#define WM_QUIT 0x0012
#define WM_KEYDOWN 0x0100
#define WM_KEYUP 0x0101
#define WM_CHAR 0x0102
#define WM_COMMAND 0x0111
#define WM_TIMER 0x0113
#define WM_MOUSEMOVE 0x0200
#define WM_LBUTTONDOWN 0x0201
#define WM_LBUTTONUP 0x0202
#define WM_MOUSEWHEEL 0x020A
#define WM_USER 0x0400
#define EM_LIMITTEXT 0x00C5
#define BM_GETCHECK 0x00F0
#define BM_SETCHECK 0x00F1
#define BST_UNCHECKED 0
#define BST_CHECKED 1
#define BN_CLICKED 0
#define LB_ADDSTRING 0x0180
#define LB_RESETCONTENT 0x0184
#define LB_SETCURSEL 0x0186
#define LB_GETCURSEL 0x0188
#define LB_GETTEXT 0x0189
#define LB_GETTEXTLEN 0x018A
#define LB_GETCOUNT 0x018B
#define LB_ERR (-1)

// Virtual keys the game and the controls know.
#define VK_BACK 0x08
#define VK_TAB 0x09
#define VK_RETURN 0x0D
#define VK_SHIFT 0x10
#define VK_CONTROL 0x11
#define VK_ESCAPE 0x1B
#define VK_SPACE 0x20
#define VK_END 0x23
#define VK_HOME 0x24
#define VK_LEFT 0x25
#define VK_UP 0x26
#define VK_RIGHT 0x27
#define VK_DOWN 0x28
#define VK_DELETE 0x2E

// Message boxes.
#define MB_OK 0x00000000
#define MB_ICONHAND 0x00000010
#define MB_TOPMOST 0x00040000
#define IDOK 1

// System colours for class backgrounds (the brush value is the colour index + 1).
#define COLOR_MENU 4

ATOM RegisterClassA(const WNDCLASSA* wc);
HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param);
BOOL ShowWindow(HWND hwnd, int command);
LRESULT DefWindowProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
BOOL SetWindowTextA(HWND hwnd, LPCSTR text);
int GetWindowTextA(HWND hwnd, LPSTR buffer, int size);
HWND SetFocus(HWND hwnd);
HWND GetFocus();
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);
HDC GetDC(HWND hwnd);
int ReleaseDC(HWND hwnd, HDC hdc);

BOOL GetMessageA(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageA(const MSG* msg);
BOOL PostMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
LRESULT SendMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc);
BOOL KillTimer(HWND hwnd, UINT_PTR id);

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

// The program's entry point, which every program of the game defines; the layer's own
// main() calls it with the show command the desktop suggests.
#define WINAPI
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand);

// Not a Windows call: whether the windows are on a desktop. Without one they live in
// memory, and a program may offer its operator another way in.
bool DesktopAvailable();
