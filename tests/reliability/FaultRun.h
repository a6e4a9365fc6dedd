// Running the real intro with one fault injected, for the failure-path tests: the preload
// environment, waiting for its window, the sink's loudness, and one report line a case.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "support/Process.h"

namespace tw::test {

void sleepFor(double seconds);
std::string readFile(const std::string& path);

// Prints "fault | output | status | seconds" for the reliability table.
void report(const std::string& fault, const ProcessResult& r, double seconds);

// The window id of the intro on the current display once it is mapped (keys pressed before then
// go elsewhere), or "" until then.
std::string findWindow();
bool waitForWindow(double seconds);

// The environment that preloads the fault library (fault_inject.cpp) with one fault chosen.
std::map<std::string, std::string> withFault(const std::string& fault);

// Frames in [from, to) whose samples are above about -60 dBFS.
size_t loudFrames(const std::vector<int16_t>& samples, size_t from, size_t to);

}  // namespace tw::test
