// What the tests add to the tools' child processes (ChildProcess.h): a folder per test, whole
// files, pauses and waits.
#pragma once

#include <functional>
#include <string>

#include "ChildProcess.h"

namespace tw::test {

using tw::ChildProcess;
using tw::ProcessResult;
using tw::runProcess;

// A fresh empty folder under the build tree for one test's files.
std::string makeTestDir(const std::string& name);

// The whole file, or "" when it cannot be read.
std::string readFile(const std::string& path);

void sleepFor(double seconds);
// Asks `done` every `step` seconds until it says yes (true) or `seconds` have passed (false).
bool waitUntil(double seconds, const std::function<bool()>& done, double step = 0.1);

}  // namespace tw::test
