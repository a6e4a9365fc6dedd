// Starting another program as a child process: the one spawner of the recorder (ffmpeg, ffprobe),
// the benchmarks and the tests.
//
// spawnProcess() starts the child and returns at once; the caller waits for it (waitpid) or ends
// it. Descriptors the parent opened with O_CLOEXEC stay out of the child.
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

}  // namespace tw
