// The environment file that `scripts/services.sh start DIR` writes as DIR/env: one
// `export NAME=value` line a variable (DISPLAY, HOME, XDG_RUNTIME_DIR, TW_SINK, ...), for a client
// of the private display and sound server. Read by tidewatch-bench and by the tests' support.
#pragma once

#include <map>
#include <string>

namespace tw {

// The variables of the file at `path`, or false when it cannot be read. A value is the rest of its
// line after the first '=' as written (the script writes no quotes); other lines are ignored.
bool readServicesEnvironment(const std::string& path, std::map<std::string, std::string>& env);

}  // namespace tw
