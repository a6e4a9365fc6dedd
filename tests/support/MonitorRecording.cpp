#include "support/MonitorRecording.h"

#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "support/TestServices.h"

namespace tw::test {

namespace {

std::string sinkMonitor() {
    useTestServices();
    const char* sink = std::getenv("TW_SINK");
    return std::string(sink != nullptr ? sink : "tidewatch") + ".monitor";
}

}  // namespace

MonitorRecording::MonitorRecording(const std::string& name)
    : path(makeTestDir(name) + "/monitor.raw"),
      parec({"sh", "-c",
             "exec parec -d \"$0\" --raw --format=s16le --rate=44100 --channels=2 "
             "--latency-msec=20 > \"$1\"",
             sinkMonitor(), path}) {
    // Let the stream connect before anything plays: the monitor of the idle sink sends silence
    // from then on, so the file grows. A loaded machine may take seconds.
    for (int i = 0; i < 200 && frames() == 0; ++i)
        sleepFor(0.05);
}

size_t MonitorRecording::frames() const {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? static_cast<size_t>(st.st_size) / 4 : 0;
}

std::vector<int16_t> MonitorRecording::finish() {
    kill(parec.pid(), SIGTERM);
    parec.wait(5.0);
    const std::string bytes = readFile(path);
    std::vector<int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

size_t loudFrames(const std::vector<int16_t>& s, size_t from, size_t to) {
    size_t loud = 0;
    for (size_t f = from; f < to && 2 * f + 1 < s.size(); ++f)
        loud += std::abs(s[2 * f]) >= 33 || std::abs(s[2 * f + 1]) >= 33;
    return loud;
}

size_t longestQuietRun(const std::vector<int16_t>& s, size_t from, size_t to, int level) {
    size_t run = 0, longest = 0;
    for (size_t f = from; f < to && 2 * f + 1 < s.size(); ++f) {
        run = std::abs(s[2 * f]) < level && std::abs(s[2 * f + 1]) < level ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

}  // namespace tw::test
