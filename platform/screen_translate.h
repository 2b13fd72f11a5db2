// Inside the layer: the screen's translations between the desktop's terms and the
// Windows ones. They need no display, so tests check them directly.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/wintypes.h"

// The Windows virtual-key code of an SDL key code; 0 for a key that sends none.
int VirtualKeyFromSdl(int32_t keycode);

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
