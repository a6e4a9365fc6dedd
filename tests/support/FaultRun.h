// Running the real programs with one fault injected: the preload environment.
#pragma once

#include <map>
#include <string>

namespace tw::test {

// The environment that preloads the fault library (fault_inject.cpp) with one fault chosen.
std::map<std::string, std::string> withFault(const std::string& fault);

}  // namespace tw::test
