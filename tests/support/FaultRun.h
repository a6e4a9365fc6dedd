// Running the real programs with one fault injected (the preload environment), and the recorder's
// one-frame run that the reference and portability tests share.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "support/PixelProbe.h"

namespace tw::test {

// The environment that preloads the fault library (fault_inject.cpp) with one fault chosen.
std::map<std::string, std::string> withFault(const std::string& fault);

// One 320x180 frame at `seconds` from the recorder `argv` (perhaps behind a wrapper), with `env`
// and no display, into the folder `out`. With `lowLimits` the GL reports the old minimums, and the
// recorder must say why it draws with the plain scene program; without, it must not mention it.
Image recordFrame(std::vector<std::string> argv, std::map<std::string, std::string> env,
                  bool lowLimits, int seconds, const std::string& out);

}  // namespace tw::test
