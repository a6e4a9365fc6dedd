#include "Progress.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>

#include "gl/Timer.h"

namespace tw {

namespace {

constexpr double kTerminalInterval = 0.25;  // seconds between redraws in place
constexpr double kLogInterval = 10.0;       // seconds between plain lines

std::string clock(double seconds) {
    const long total = std::lround(seconds);
    char text[32];
    if (total >= 3600) {
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", total / 3600, total / 60 % 60,
                      total % 60);
    } else {
        std::snprintf(text, sizeof text, "%ld:%02ld", total / 60, total % 60);
    }
    return text;
}

}  // namespace

Progress::Progress(long total, int fd)
    : total(total),
      fd(fd),
      terminal(isatty(fd) == 1),
      startTime(Timer::now()),
      lastShown(startTime) {}

std::string Progress::line(long done, long total, double elapsed) {
    const double fps = elapsed > 0.0 ? done / elapsed : 0.0;
    const long percent = total > 0 ? done * 100 / total : 100;
    char text[128];
    std::snprintf(text, sizeof text, "frame %ld/%ld (%ld%%), %.1f fps", done, total, percent, fps);
    std::string result = text;
    if (done >= total)
        return result + ", " + clock(elapsed) + " in all";
    if (fps > 0.0)
        return result + ", " + clock((total - done) / fps) + " left";
    return result;
}

void Progress::update(long done) {
    lastDone = done;
    const double now = Timer::now();
    if (now - lastShown < (terminal ? kTerminalInterval : kLogInterval))
        return;
    lastShown = now;
    show(done, false);
}

void Progress::finish() {
    show(lastDone, true);
}

void Progress::show(long done, bool last) {
    const std::string text = line(done, total, Timer::now() - startTime);
    // In place: back to the line's start, rewrite, clear what a longer line left.
    const std::string out = terminal ? "\r" + text + "\033[K" + (last ? "\n" : "") : text + "\n";
    const ssize_t ignored = write(fd, out.data(), out.size());
    (void)ignored;
}

}  // namespace tw
