// The progress line on standard error: frames done of the total, percent, speed, time left.
//
// Construct just before the first frame; update(done) after every frame; finish() after the
// last. On a terminal the line is redrawn in place a few times a second; otherwise (a log, a
// pipe) a plain line is written every ten seconds and at the end.
#pragma once

#include <string>

namespace tw {

class Progress {
  public:
    Progress(long total, int fd);

    void update(long done);
    void finish();

    // "frame 120/1200 (10%), 14.3 fps, 1:15 left" after `elapsed` seconds.
    static std::string line(long done, long total, double elapsed);

  private:
    void show(long done, bool last);

    long total;
    int fd;
    bool terminal;
    double startTime;
    double lastShown;
    long lastDone = 0;
};

}  // namespace tw
