// The one way a start-up step gives up: its fixed line on standard output, any detail (a compiler
// log, an ALSA error) on standard error, and exit status 1.
#pragma once

#include <string>

namespace tw {

[[noreturn]] void failStartup(const char* line, const std::string& detail = std::string());

}  // namespace tw
