// Inside the layer: the "EDIT" control.
#pragma once

#include <memory>

#include "platform/window_objects.h"

namespace controls {

// A single-line edit box with a caret, the editing keys, paste, a text limit, and the
// ES_READONLY and ES_AUTOHSCROLL styles.
std::unique_ptr<Control> MakeEdit();

}  // namespace controls
