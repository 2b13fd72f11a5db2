// Inside the layer: the screen's translations between the desktop's terms and the
// Windows ones. They need no display, so tests check them directly.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "platform/wintypes.h"

// The Windows virtual-key code of an SDL key code; 0 for a key that sends none.
int VirtualKeyFromSdl(int32_t keycode);

// The desktop's own keys, which toggle fullscreen and never reach the game: F11, and
// either Enter pressed while Alt is held. The press decides: the key's repeats and its
// release go where the press went, wherever Alt is by then.
class DesktopKeys {
 public:
  enum Use { kForGame, kToggleFullscreen, kTaken };
  Use Take(int32_t keycode, bool down, bool repeat, bool alt);

 private:
  std::set<int32_t> held_;  // the desktop's keys that are down
};

// UTF-8 text as Windows-1252 bytes. Characters the code page lacks, C1 controls and
// bytes that are not well-formed UTF-8 are dropped.
std::string Cp1252FromUtf8(std::string_view utf8);

// Windows-1252 text as UTF-8. The bytes the code page leaves undefined are dropped.
std::string Utf8FromCp1252(std::string_view text);

// The largest whole-number scale, at least 1, at which a width x height surface fits
// within 85% of a usable desktop of usableWidth x usableHeight.
int DesktopScale(int width, int height, int usableWidth, int usableHeight);

// Where on the desktop the window showing a width x height surface goes, given the
// desktop's usable bounds: the surface scaled by DesktopScale, at the window's own
// `position` within the usable bounds scaled alike, or centred when it would not fit
// there. A surface with no area counts as 1 x 1.
RECT DesktopPlacement(POINT position, int width, int height, const RECT& usable);

// How a surface shows in its desktop window: `scale` times its size, with its top-left
// corner at `origin` of the window.
struct SurfaceFit {
  int scale;
  POINT origin;
};

// A width x height surface in a desktop window of windowWidth x windowHeight: at the
// largest whole-number scale, at least 1, at which it fits, and centred (reaching past
// the window's edges when even scale 1 does not fit).
SurfaceFit FitSurface(int width, int height, int windowWidth, int windowHeight);

// The surface point under a point of the desktop window. A point on the border around
// the surface gives one outside it: negative, or past the surface's size.
POINT SurfacePoint(const SurfaceFit& fit, POINT windowPoint);
