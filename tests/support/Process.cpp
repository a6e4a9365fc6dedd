#include "support/Process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "Spawn.h"
#include "app/Timer.h"

namespace tw::test {

namespace {

int counter = 0;

}  // namespace

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

void sleepFor(double seconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

std::string makeTestDir(const std::string& name) {
    const std::string dir = std::string(TW_BINARY_DIR) + "/test-output/" + name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

ChildProcess::ChildProcess(const std::vector<std::string>& argv,
                           const std::map<std::string, std::string>& env) {
    const std::string base = std::string(TW_BINARY_DIR) + "/test-output/proc-" +
                             std::to_string(getpid()) + "-" + std::to_string(counter++);
    std::filesystem::create_directories(std::string(TW_BINARY_DIR) + "/test-output");
    outPath = base + ".out";
    errPath = base + ".err";
    // Output goes to files, so a chatty child can never block on a full pipe.
    SpawnOptions options;
    options.in = SpawnOptions::kDevNull;
    options.out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    options.err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    options.env = env;
    startTime = Timer::now();
    std::string error;
    child = spawnProcess(argv, options, error);
    close(options.out);
    close(options.err);
    if (child < 0) {
        std::ofstream(errPath) << error << '\n';
        reaped = true;
        status = 127 << 8;  // as a shell reports a program it cannot run
    }
}

ChildProcess::~ChildProcess() {
    if (child > 0 && !reaped) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
    }
    std::remove(outPath.c_str());
    std::remove(errPath.c_str());
}

bool ChildProcess::running() {
    if (reaped)
        return false;
    if (waitpid(child, &status, WNOHANG) == child)
        reaped = true;
    return !reaped;
}

void ChildProcess::sendSignal(int signal) {
    if (!reaped)
        kill(child, signal);
}

ProcessResult ChildProcess::wait(double seconds) {
    ProcessResult result;
    const double deadline = Timer::now() + seconds;
    while (running() && Timer::now() < deadline)
        sleepFor(0.01);
    result.seconds = Timer::now() - startTime;
    if (!reaped) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
        reaped = true;
        result.exited = false;
    } else {
        result.exited = WIFEXITED(status);
    }
    if (WIFEXITED(status))
        result.exitStatus = WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        result.signal = WTERMSIG(status);
    result.out = readFile(outPath);
    result.err = readFile(errPath);
    return result;
}

ProcessResult runProcess(const std::vector<std::string>& argv,
                         const std::map<std::string, std::string>& env, double seconds) {
    ChildProcess process(argv, env);
    return process.wait(seconds);
}

}  // namespace tw::test
