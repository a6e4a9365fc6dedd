#include "ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

extern char** environ;

namespace tw {

namespace {

// The parent's environment with the options' changes.
std::vector<std::string> childEnvironment(const std::map<std::string, std::string>& changes) {
    std::vector<std::string> entries;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        if (changes.count(text.substr(0, text.find('='))) == 0)
            entries.push_back(text);
    }
    for (const auto& [name, value] : changes)
        if (!value.empty())
            entries.push_back(name + "=" + value);
    return entries;
}

double now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
    std::vector<char*> list;
    for (std::string& text : strings)
        list.push_back(text.data());
    list.push_back(nullptr);
    return list;
}

}  // namespace

pid_t spawnProcess(const std::vector<std::string>& args, const SpawnOptions& options,
                   std::string& error) {
    std::vector<std::string> argStrings = args;
    std::vector<std::string> envStrings = childEnvironment(options.env);
    const std::vector<char*> argv = pointers(argStrings);
    const std::vector<char*> envp = pointers(envStrings);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const int sources[4] = {options.in, options.out, options.err, options.extra};
    for (int target = 0; target < 4; ++target) {
        if (sources[target] >= 0)
            posix_spawn_file_actions_adddup2(&actions, sources[target], target);
        else if (sources[target] == SpawnOptions::kDevNull)
            posix_spawn_file_actions_addopen(&actions, target, "/dev/null", O_RDWR, 0);
    }
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    if (options.ownGroup) {
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
        posix_spawnattr_setpgroup(&attributes, 0);
    }
    pid_t pid = -1;
    const int result = posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), envp.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (result == 0)
        return pid;
    error = "cannot run " + args[0] + ": " + std::strerror(result) +
            (result == ENOENT ? " (is " + args[0] + " installed and on PATH?)" : "");
    return -1;
}

std::string readWhole(int fd) {
    std::string text;
    char buffer[4096];
    off_t at = 0;
    for (ssize_t got; (got = pread(fd, buffer, sizeof buffer, at)) > 0; at += got)
        text.append(buffer, static_cast<size_t>(got));
    return text;
}

ChildProcess::ChildProcess(const std::vector<std::string>& argv,
                           const std::map<std::string, std::string>& env)
    : startTime(now()),
      outFd(memfd_create("child-stdout", MFD_CLOEXEC)),
      errFd(memfd_create("child-stderr", MFD_CLOEXEC)) {
    SpawnOptions options;
    options.in = SpawnOptions::kDevNull;
    options.out = outFd;
    options.err = errFd;
    options.env = env;
    child = spawnProcess(argv, options, startError);
    if (child < 0) {
        reaped = true;
        status = 127 << 8;  // as a shell reports a program it cannot run
    }
}

ChildProcess::~ChildProcess() {
    if (!reaped) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
    }
    for (int fd : {outFd, errFd})
        if (fd >= 0)
            close(fd);
}

bool ChildProcess::running() {
    if (!reaped && waitpid(child, &status, WNOHANG) == child)
        reaped = true;
    return !reaped;
}

ProcessResult ChildProcess::wait(double seconds) {
    ProcessResult result;
    const double deadline = now() + seconds;
    while (running() && now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    result.seconds = now() - startTime;
    result.exited = reaped && WIFEXITED(status);
    if (!reaped) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
        reaped = true;
    }
    if (WIFEXITED(status))
        result.exitStatus = WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        result.signal = WTERMSIG(status);
    result.out = outFd >= 0 ? readWhole(outFd) : "";
    result.err = startError.empty() ? (errFd >= 0 ? readWhole(errFd) : "") : startError + "\n";
    return result;
}

ProcessResult runProcess(const std::vector<std::string>& argv,
                         const std::map<std::string, std::string>& env, double seconds) {
    ChildProcess process(argv, env);
    return process.wait(seconds);
}

}  // namespace tw
