// Running the real programs (the intro, the recorder, tools) as child processes with a bounded
// wait, capturing their output and exit status.
#pragma once

#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

namespace tw::test {

struct ProcessResult {
    bool exited = false;   // ended by itself (not killed after the time limit)
    int exitStatus = -1;   // when exited normally
    int signal = 0;        // when ended by a signal
    double seconds = 0.0;  // from start to end
    std::string out;       // standard output
    std::string err;       // standard error
};

class ChildProcess {
  public:
    // Starts `argv` with the current environment plus `env` (an empty value unsets the variable).
    ChildProcess(const std::vector<std::string>& argv,
                 const std::map<std::string, std::string>& env = {});
    ~ChildProcess();  // kills the child if it still runs
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return child; }
    bool running();
    void sendSignal(int signal);
    // Waits up to `seconds`; kills the child (SIGKILL) if it has not ended by then.
    ProcessResult wait(double seconds);

  private:
    pid_t child = -1;
    bool reaped = false;
    int status = 0;
    double startTime = 0.0;
    std::string outPath;
    std::string errPath;
};

// Starts, waits up to `seconds` and returns the result.
ProcessResult runProcess(const std::vector<std::string>& argv,
                         const std::map<std::string, std::string>& env = {}, double seconds = 60.0);

// A fresh empty folder under the build tree for one test's files.
std::string makeTestDir(const std::string& name);

// The whole file, or "" when it cannot be read.
std::string readFile(const std::string& path);

void sleepFor(double seconds);

}  // namespace tw::test
