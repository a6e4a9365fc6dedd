#include "support/MonitorRecording.h"

#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <thread>

#include "support/TestServices.h"

namespace tw::test {

MonitorRecording::MonitorRecording(const std::string& name)
    : path(makeTestDir(name) + "/monitor.raw"),
      parec({"sh", "-c",
             "exec parec -d \"$0\" --raw --format=s16le --rate=44100 --channels=2 "
             "--latency-msec=20 > \"$1\"",
             testSinkName() + ".monitor", path}) {
    // Let the stream connect before anything plays.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
}

size_t MonitorRecording::frames() const {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? static_cast<size_t>(st.st_size) / 4 : 0;
}

std::vector<int16_t> MonitorRecording::finish() {
    parec.sendSignal(SIGTERM);
    parec.wait(5.0);
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<int16_t> samples(bytes.size() / 2);
    std::copy(bytes.data(), bytes.data() + samples.size() * 2,
              reinterpret_cast<char*>(samples.data()));
    return samples;
}

}  // namespace tw::test
