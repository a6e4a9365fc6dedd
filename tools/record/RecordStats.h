// Where the recorder's time goes, for --stats: seconds spent in each stage of the frame loop.
#pragma once

#include <string>

namespace tw {

struct StageTimes {
    double setup = 0.0;     // GL set-up, textures, shaders, finding the music, ffmpeg start
    double render = 0.0;    // the three passes
    double readback = 0.0;  // frames from the GL into memory
    double encode = 0.0;  // handing frames to the sink (blocks while ffmpeg is behind) and its end
};

// "recorded 120 frames of 640x360 in 10.00 s (set-up 0.20 s): 12.00 fps; render 58.3 ms/frame
// (70.0%); read back ..." over the frame loop (`loopSeconds`), set-up reported apart.
std::string describeStats(const StageTimes& times, long frames, int width, int height,
                          double loopSeconds);

}  // namespace tw
