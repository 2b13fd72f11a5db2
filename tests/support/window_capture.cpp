#include "tests/support/window_capture.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdlib>
#include <memory>

std::optional<Picture> CaptureWindow(const std::string& window) {
  std::unique_ptr<Display, int (*)(Display*)> display(XOpenDisplay(nullptr), XCloseDisplay);
  if (!display) return std::nullopt;
  const Window id = Window(strtoul(window.c_str(), nullptr, 10));
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display.get(), id, &attributes)) return std::nullopt;
  XImage* image = XGetImage(display.get(), id, 0, 0, unsigned(attributes.width), unsigned(attributes.height),
                            AllPlanes, ZPixmap);
  if (!image) return std::nullopt;
  Picture picture;
  picture.width = attributes.width;
  picture.height = attributes.height;
  for (int y = 0; y < picture.height; y++)
    for (int x = 0; x < picture.width; x++) picture.pixels.push_back(uint32_t(XGetPixel(image, x, y)) & 0xFFFFFF);
  XDestroyImage(image);
  return picture;
}
