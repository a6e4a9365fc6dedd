#include "IntroLaunch.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "ChildProcess.h"
#include "ServicesEnvironment.h"
#include "gl/Timer.h"

namespace tw {

namespace {

// "frame N time T size WxH"; false for any other line.
bool parseFrame(const std::string& line, float& time, int& width, int& height) {
    int frame = 0;
    return std::sscanf(line.c_str(), "frame %d time %f size %dx%d", &frame, &time, &width,
                       &height) == 4;
}

}  // namespace

PrivateServices::~PrivateServices() {
    if (!dir.empty())
        runProcess({TW_SERVICES_SCRIPT, "stop", dir}, {}, 60);
}

bool PrivateServices::start(const std::string& directory) {
    // Run directly, not through a shell: the script's watchdog ends the services when its parent,
    // this process, goes away.
    if (runProcess({TW_SERVICES_SCRIPT, "start", directory}, {}, 120).exitStatus != 0) {
        failure = std::string(TW_SERVICES_SCRIPT) + " start failed";
        return false;
    }
    dir = directory;
    if (!readServicesEnvironment(directory + "/env", env) || env.count("DISPLAY") == 0) {
        failure = "no DISPLAY in " + directory + "/env";
        return false;
    }
    return true;
}

IntroRun launchIntro(const std::string& harness, const std::map<std::string, std::string>& env,
                     bool untilSettled, double limitSeconds, double watchSeconds) {
    IntroRun run;
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) {
        run.error = "pipe failed";
        return run;
    }
    const double start = Timer::now();
    SpawnOptions options;
    options.out = SpawnOptions::kDevNull;
    options.err = pipeEnds[1];
    options.env = env;
    const pid_t child = spawnProcess({harness, "--trace"}, options, run.error);
    close(pipeEnds[1]);
    if (child < 0) {
        close(pipeEnds[0]);
        return run;
    }

    std::string pending;
    int width = 0, height = 0, framesAtSize = 0;
    bool settled = false, done = false;
    double lastFrame = 0;
    std::vector<double> frameMs;
    while (!done) {
        const double left = limitSeconds - (Timer::now() - start);
        pollfd readable{pipeEnds[0], POLLIN, 0};
        if (left <= 0 || poll(&readable, 1, static_cast<int>(left * 1000) + 1) <= 0) {
            run.error = "no settled frame loop within the time limit";
            break;
        }
        char buffer[4096];
        const ssize_t got = read(pipeEnds[0], buffer, sizeof buffer);
        if (got <= 0) {
            run.error = "the intro ended early: " + pending;
            break;
        }
        pending.append(buffer, static_cast<size_t>(got));
        for (size_t end; !done && (end = pending.find('\n')) != std::string::npos;) {
            const std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            int w = 0, h = 0;
            float time = 0;
            if (!parseFrame(line, time, w, h))
                continue;
            const double now = Timer::now();
            if (run.firstFrameSeconds == 0)
                run.firstFrameSeconds = now - start;
            if (time > 1.f && lastFrame > 0)
                frameMs.push_back((now - lastFrame) * 1000.0);
            lastFrame = now;
            framesAtSize = w == width && h == height ? framesAtSize + 1 : 1;
            width = w;
            height = h;
            // Once 20 frames are finished at one size the loop never lowers it again.
            settled = settled || !untilSettled || framesAtSize >= 20 || width <= 320;
            done = settled && time >= watchSeconds;
        }
    }
    kill(child, SIGTERM);
    close(pipeEnds[0]);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    run.ok = done;
    run.settledWidth = width;
    run.settledHeight = height;
    run.peakResidentMiB = usage.ru_maxrss / 1024.0;  // kilobytes on Linux
    if (!frameMs.empty()) {
        std::sort(frameMs.begin(), frameMs.end());
        run.medianFrameMs = frameMs[frameMs.size() / 2];
        run.worstFrameMs = frameMs.back();
    }
    return run;
}

}  // namespace tw
