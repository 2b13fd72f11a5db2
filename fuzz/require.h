// For the fuzz targets: a property of the code under test that does not hold is a
// finding, reported like a crash.
#pragma once

#include <sanitizer/common_interface_defs.h>

#include <cstdlib>
#include <string>

// The report goes where the sanitizers report, which stays open when the fuzzer is
// told to close the game's own chatty output.
inline void Require(bool holds, const char* property) {
  if (holds) return;
  __sanitizer_report_error_summary(("property broken: " + std::string(property)).c_str());
  abort();
}
