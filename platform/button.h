// Inside the layer: the "BUTTON" control.
#pragma once

#include <memory>

#include "platform/window_objects.h"

namespace controls {

// A push button, or an auto radio button for BS_AUTORADIOBUTTON.
std::unique_ptr<Control> MakeButton(DWORD style);

}  // namespace controls
