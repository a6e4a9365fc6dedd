// Other programs as child processes: the one spawner of the recorder (ffmpeg, ffprobe), the
// benchmarks and the tests.
//
// spawnProcess() starts a child and returns at once; the caller waits for it (waitpid) or ends
// it. Descriptors the parent opened with O_CLOEXEC stay out of the child. ChildProcess adds a
// bounded wait and keeps what the child writes on its standard output and error; runProcess()
// starts one and waits for it.
#pragma once

#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

namespace tw {

struct SpawnOptions {
    static constexpr int kInherit = -1;  // the parent's own descriptor
    static constexpr int kDevNull = -2;

    // The child's standard input, output and error: one of the above or a parent's descriptor.
    int in = kInherit;
    int out = kInherit;
    int err = kInherit;
    int extra = -1;         // when not -1, becomes the child's descriptor 3
    bool ownGroup = false;  // a process group of its own: the terminal's Ctrl-C does not reach it
    // Set in the child's environment on top of the parent's; an empty value unsets the name.
    std::map<std::string, std::string> env;
};

// The child's process id, or -1 with `error` saying why (the program not found, say: a line that
// asks whether it is installed). `args[0]` is looked up on the PATH.
pid_t spawnProcess(const std::vector<std::string>& args, const SpawnOptions& options,
                   std::string& error);

struct ProcessResult {
    bool exited = false;   // ended by itself (not killed after the time limit)
    int exitStatus = -1;   // when exited normally; 127 when it could not be started
    int signal = 0;        // when ended by a signal
    double seconds = 0.0;  // from start to end
    std::string out;       // standard output
    std::string err;       // standard error (why it could not start, if so)
};

class ChildProcess {
  public:
    // Starts `argv` with `env` changed as SpawnOptions::env says, standard input /dev/null.
    explicit ChildProcess(const std::vector<std::string>& argv,
                          const std::map<std::string, std::string>& env = {});
    ~ChildProcess();  // kills the child if it still runs
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return child; }
    bool running();
    // Waits up to `seconds`; kills the child (SIGKILL) if it has not ended by then.
    ProcessResult wait(double seconds);

  private:
    pid_t child = -1;
    bool reaped = false;
    int status = 0;
    double startTime = 0.0;
    int outFd = -1;  // anonymous files the output goes to, so a chatty child never blocks
    int errFd = -1;
    std::string startError;
};

ProcessResult runProcess(const std::vector<std::string>& argv,
                         const std::map<std::string, std::string>& env = {}, double seconds = 60.0);

// All a descriptor's file holds, read from its start.
std::string readWhole(int fd);

}  // namespace tw
