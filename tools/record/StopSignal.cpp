#include "StopSignal.h"

#include <signal.h>
#include <unistd.h>

#include <cstring>

namespace tw {

namespace {

volatile sig_atomic_t received = 0;
volatile sig_atomic_t held = 0;

void onStopSignal(int signal) {
    received = signal;
    if (held)
        return;
    // Only async-signal-safe calls here.
    const char* reason = stopReason(signal);
    const char* prefix = "tidewatch-record: ";
    const char* suffix = "; nothing written\n";
    ssize_t ignored = write(STDERR_FILENO, prefix, strlen(prefix));
    ignored = write(STDERR_FILENO, reason, strlen(reason));
    ignored = write(STDERR_FILENO, suffix, strlen(suffix));
    (void)ignored;
    _exit(128 + signal);
}

}  // namespace

void catchStopSignals() {
    struct sigaction action {};
    action.sa_handler = onStopSignal;  // no SA_RESTART: a blocked wait returns early
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);  // a vanished ffmpeg shows as EPIPE, then as its exit status
}

void holdStopSignals() {
    held = 1;
}

int stopSignal() {
    return received;
}

const char* stopReason(int signal) {
    return signal == SIGINT ? "interrupted by SIGINT" : "terminated by SIGTERM";
}

}  // namespace tw
