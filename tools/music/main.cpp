// tidewatch-music INSTRUMENTS SONG OUT.xm: builds the intro's XM module from its text sources.
// The output is written whole or not at all; any error is one line on standard error and
// exit status 1.
#include <cstdio>
#include <exception>
#include <stdexcept>
#include <string>

#include "PendingOutput.h"
#include "SongReader.h"
#include "Synth.h"
#include "XmWriter.h"

int main(int argc, char** argv) {
    using namespace tw::music;
    if (argc != 4) {
        std::fprintf(stderr, "usage: tidewatch-music INSTRUMENTS SONG OUT.xm\n");
        return 1;
    }
    const std::string out = argv[3];
    try {
        Song song;
        readInstruments(argv[1], song);
        readSong(argv[2], song);
        std::vector<Sample> samples;
        for (const Instrument& ins : song.instruments) {
            try {
                samples.push_back(renderSample(ins.recipe));
            } catch (const std::runtime_error& e) {
                throw std::runtime_error(std::string(argv[1]) + ": instrument '" + ins.name +
                                         "': " + e.what());
            }
        }
        const std::vector<uint8_t> image = writeXm(song, samples);
        const std::string failure = tw::writeFileAtomically(out, image.data(), image.size());
        if (!failure.empty())
            throw std::runtime_error(out + ": cannot be written: " + failure);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tidewatch-music: %s\n", e.what());
        return 1;
    }
    return 0;
}
