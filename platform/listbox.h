// Inside the layer: the "LISTBOX" control.
#pragma once

#include <memory>

#include "platform/window_objects.h"

namespace controls {

// A list of text rows with one selected row and, for WS_VSCROLL, a vertical scroll bar.
std::unique_ptr<Control> MakeListBox();

}  // namespace controls
