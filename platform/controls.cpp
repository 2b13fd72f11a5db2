#include <strings.h>

#include "platform/button.h"
#include "platform/edit.h"
#include "platform/listbox.h"

std::unique_ptr<Control> MakeControl(const std::string& className, DWORD style) {
  const char* name = className.c_str();
  if (strcasecmp(name, "EDIT") == 0) return controls::MakeEdit();
  if (strcasecmp(name, "BUTTON") == 0) return controls::MakeButton(style);
  if (strcasecmp(name, "LISTBOX") == 0) return controls::MakeListBox();
  return nullptr;
}
