// The latest scene time any program starts at: the recorder's --start and --seconds, and the
// page's t=. web/assemble.mjs copies this file's constants into the page's script, so each stays
// one line `constexpr <type> <name> = <number>;`.
#pragma once

namespace tw {

constexpr double kMaxSeconds = 86400.0;  // a day

}  // namespace tw
