// Running the real intro with one fault injected, for the failure-path tests: the preload
// environment and one report line a case.
#pragma once

#include <map>
#include <string>

#include "support/Process.h"

namespace tw::test {

// Prints "fault | output | status | seconds" for the reliability table.
void report(const std::string& fault, const ProcessResult& r, double seconds);

// The environment that preloads the fault library (fault_inject.cpp) with one fault chosen.
std::map<std::string, std::string> withFault(const std::string& fault);

}  // namespace tw::test
