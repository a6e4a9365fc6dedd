// SIGINT and SIGTERM for the recorder: the run ends within a second with one line of its own and
// the shell's status for the signal (130, 143), leaving nothing behind.
//
// catchStopSignals() first: until holdStopSignals() a signal ends the process at once, since
// there is nothing to clean up yet. After it, a signal only marks the stop; whatever waits
// (the frame loop, writes to ffmpeg, waiting for it) checks stopSignal() at least every 100 ms
// and unwinds, so the destructors remove the partial output.
#pragma once

namespace tw {

void catchStopSignals();
void holdStopSignals();

// The signal that asked to stop, or 0.
int stopSignal();

// "interrupted by SIGINT" or "terminated by SIGTERM".
const char* stopReason(int signal);

}  // namespace tw
