#include "support/MonitorRecording.h"

#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
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
    waitUntil(10, [this] { return frames() > 0; });
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

double levelDbfs(const std::vector<int16_t>& s, size_t from, size_t to) {
    to = std::min(to, s.size() / 2);
    double sum = 0.0;
    for (size_t i = 2 * from; i < 2 * to; ++i)
        sum += static_cast<double>(s[i]) * s[i];
    return 10.0 * std::log10(sum / (2.0 * static_cast<double>(to - from)) / (32768.0 * 32768.0));
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
