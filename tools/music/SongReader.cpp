#include "SongReader.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace tw::music {

namespace {

// Splits a file into whitespace-separated words per line, dropping comments, and reports
// errors with the file name and line number.
class LineReader {
  public:
    explicit LineReader(const std::string& path) : path(path), in(path) {
        if (!in)
            throw std::runtime_error(path + ": cannot be read");
    }
    bool next(std::vector<std::string>& words) {
        std::string line;
        while (std::getline(in, line)) {
            ++number;
            // A comment starts with a '#' that begins a word ("G#4" is a note).
            for (size_t i = 0; i < line.size(); ++i)
                if (line[i] == '#' &&
                    (i == 0 || std::isspace(static_cast<unsigned char>(line[i - 1])))) {
                    line.erase(i);
                    break;
                }
            std::istringstream split(line);
            words.clear();
            for (std::string w; split >> w;)
                words.push_back(w);
            if (!words.empty())
                return true;
        }
        return false;
    }
    [[noreturn]] void fail(const std::string& what) const {
        throw std::runtime_error(path + ":" + std::to_string(number) + ": " + what);
    }
    double real(const std::string& word) const {
        size_t used = 0;
        double value = 0.0;
        try {
            value = std::stod(word, &used);
        } catch (const std::exception&) {
            used = 0;
        }
        if (used != word.size())
            fail("'" + word + "' is not a number");
        return value;
    }
    int integer(const std::string& word, int low, int high, int base = 10) const {
        size_t used = 0;
        long value = 0;
        try {
            value = std::stol(word, &used, base);
        } catch (const std::exception&) {
            used = 0;
        }
        if (used != word.size() || value < low || value > high)
            fail("'" + word + "' is not a whole number in " + std::to_string(low) + ".." +
                 std::to_string(high));
        return static_cast<int>(value);
    }

  private:
    std::string path;
    std::ifstream in;
    int number = 0;
};

// "C-4", "C#4" -> 0-based note (48 = C-4); -1 when the word is not a note.
int parseNote(const std::string& word) {
    static const char* names = "C-C#D-D#E-F-F#G-G#A-A#B-";
    if (word.size() != 3 || !std::isdigit(static_cast<unsigned char>(word[2])))
        return -1;
    for (int i = 0; i < 12; ++i)
        if (word[0] == names[2 * i] && word[1] == names[2 * i + 1])
            return (word[2] - '0') * 12 + i;
    return -1;
}

Wave parseWave(const LineReader& reader, const std::string& word) {
    static const std::map<std::string, Wave> waves = {{"sine", Wave::Sine},
                                                      {"saw", Wave::Saw},
                                                      {"square", Wave::Square},
                                                      {"triangle", Wave::Triangle},
                                                      {"noise", Wave::Noise}};
    const auto found = waves.find(word);
    if (found == waves.end())
        reader.fail("unknown wave '" + word + "'");
    return found->second;
}

// The words of `w` from `first` on, one space between.
std::string joinWords(const std::vector<std::string>& w, size_t first) {
    std::string joined;
    for (size_t i = first; i < w.size(); ++i)
        joined += (i > first ? " " : "") + w[i];
    return joined;
}

Layer parseLayer(const LineReader& r, const std::vector<std::string>& w) {
    if (w.size() < 2)
        r.fail("layer needs a wave");
    // The settings that take one number; "sweep" takes two and "seed" a whole one.
    static const std::map<std::string, double Layer::*> numbers = {
        {"hz", &Layer::hz},         {"ratio", &Layer::ratio},
        {"cents", &Layer::cents},   {"amp", &Layer::amp},
        {"attack", &Layer::attack}, {"decay", &Layer::decay},
        {"pw", &Layer::pulseWidth}, {"lp", &Layer::lowpass},
        {"hp", &Layer::highpass},   {"q", &Layer::q}};
    Layer layer;
    layer.wave = parseWave(r, w[1]);
    size_t i = 2;
    auto value = [&]() -> double {
        if (i + 1 >= w.size())
            r.fail("'" + w[i] + "' needs a value");
        return r.real(w[++i]);
    };
    for (; i < w.size(); ++i) {
        const std::string& key = w[i];
        const auto number = numbers.find(key);
        if (number != numbers.end()) {
            layer.*(number->second) = value();
        } else if (key == "sweep") {
            layer.sweepFrom = value();
            layer.sweepTime = value();
        } else if (key == "seed") {
            layer.seed = static_cast<uint32_t>(value());
        } else {
            r.fail("unknown layer setting '" + key + "'");
        }
    }
    if (layer.ratio <= 0.0 || layer.hz < 0.0 || layer.q <= 0.0 || layer.pulseWidth <= 0.0 ||
        layer.pulseWidth >= 1.0)
        r.fail("layer setting out of range");
    return layer;
}

void parseInstrumentLine(const LineReader& r, const std::vector<std::string>& w, Instrument& ins) {
    const std::string& key = w[0];
    Recipe& recipe = ins.recipe;
    if (key == "oneshot") {
        // oneshot rate HZ length SECONDS
        if (w.size() != 5 || w[1] != "rate" || w[3] != "length")
            r.fail("expected: oneshot rate HZ length SECONDS");
        recipe.looped = false;
        recipe.rate = r.real(w[2]);
        recipe.length = r.real(w[4]);
    } else if (key == "loop") {
        // loop base NOTE period SAMPLES cycles N [pingpong]
        if ((w.size() != 7 && w.size() != 8) || w[1] != "base" || w[3] != "period" ||
            w[5] != "cycles" || (w.size() == 8 && w[7] != "pingpong"))
            r.fail("expected: loop base NOTE period SAMPLES cycles N [pingpong]");
        recipe.looped = true;
        recipe.baseNote = parseNote(w[2]);
        if (recipe.baseNote < 0)
            r.fail("'" + w[2] + "' is not a note");
        recipe.period = r.integer(w[4], 2, 4096);
        recipe.cycles = r.integer(w[6], 1, 1024);
        recipe.pingpong = w.size() == 8;
    } else if (key == "layer") {
        recipe.layers.push_back(parseLayer(r, w));
    } else if (key == "drive" && w.size() == 2) {
        recipe.drive = r.real(w[1]);
    } else if (key == "volume" && w.size() == 2) {
        ins.volume = r.integer(w[1], 0, 64);
    } else if (key == "pan" && w.size() == 2) {
        ins.panning = r.integer(w[1], 0, 255);
    } else if (key == "fadeout" && w.size() == 2) {
        ins.fadeout = r.integer(w[1], 0, 4095);
    } else if (key == "autovibrato" && w.size() == 5) {
        ins.vibratoType = r.integer(w[1], 0, 3);
        ins.vibratoSweep = r.integer(w[2], 0, 255);
        ins.vibratoDepth = r.integer(w[3], 0, 15);
        ins.vibratoRate = r.integer(w[4], 0, 63);
    } else if (key == "envelope" && w.size() >= 3) {
        // envelope TICK,VOLUME ... [sustain INDEX]
        Envelope env;
        for (size_t i = 1; i < w.size(); ++i) {
            if (w[i] == "sustain" && i + 2 == w.size()) {
                env.sustain = r.integer(w[i + 1], 0, 11);
                break;
            }
            const size_t comma = w[i].find(',');
            if (comma == std::string::npos)
                r.fail("envelope point '" + w[i] + "' is not TICK,VOLUME");
            const int tick = r.integer(w[i].substr(0, comma), 0, 65535);
            const int vol = r.integer(w[i].substr(comma + 1), 0, 64);
            if (!env.points.empty() && tick <= env.points.back().first)
                r.fail("envelope ticks must rise");
            env.points.emplace_back(tick, vol);
        }
        if (env.points.size() < 2 || env.points.size() > 12 || env.points[0].first != 0 ||
            env.sustain >= static_cast<int>(env.points.size()))
            r.fail("an envelope has 2 to 12 points, the first at tick 0");
        ins.envelope = env;
    } else {
        r.fail("unknown instrument setting '" + key + "'");
    }
}

// "C-4:01:40:A0F" with any trailing fields left out and empty fields as dots or nothing;
// "." alone is an empty cell, "===" a key-off.
Cell parseCell(const LineReader& r, const std::string& word, int defaultInstrument,
               int instrumentCount) {
    Cell cell;
    if (word == ".")
        return cell;
    std::vector<std::string> fields;
    std::string field;
    std::istringstream split(word);
    while (std::getline(split, field, ':'))
        fields.push_back(field);
    if (fields.empty() || fields.size() > 4)
        r.fail("cell '" + word + "' is not NOTE:II:VV:EFF");
    auto empty = [](const std::string& f) { return f.find_first_not_of('.') == std::string::npos; };
    if (fields[0] == "===") {
        cell.note = 97;
    } else if (!empty(fields[0])) {
        const int note = parseNote(fields[0]);
        if (note < 0 || note > 95)
            r.fail("'" + fields[0] + "' is not a note C-0..B-7");
        cell.note = static_cast<uint8_t>(note + 1);
    }
    if (fields.size() > 1 && !empty(fields[1]))
        cell.instrument = static_cast<uint8_t>(r.integer(fields[1], 1, instrumentCount, 16));
    else if (cell.note != 0 && cell.note != 97)
        cell.instrument = static_cast<uint8_t>(defaultInstrument);
    if (fields.size() > 2 && !empty(fields[2]))
        cell.volume = static_cast<uint8_t>(0x10 + r.integer(fields[2], 0, 0x40, 16));
    if (fields.size() > 3 && !empty(fields[3])) {
        const std::string& e = fields[3];
        const char type = static_cast<char>(std::toupper(static_cast<unsigned char>(e[0])));
        if (e.size() != 3 || !std::isalnum(static_cast<unsigned char>(type)))
            r.fail("effect '" + e + "' is not one character and two hex digits");
        cell.effect = static_cast<uint8_t>(
            std::isdigit(static_cast<unsigned char>(type)) ? type - '0' : type - 'A' + 10);
        cell.param = static_cast<uint8_t>(r.integer(e.substr(1), 0, 255, 16));
        // Every tick must stay 2.5/BPM seconds long: speed changes only, never the BPM.
        if (cell.effect == 0xF && (cell.param == 0 || cell.param >= 0x20))
            r.fail("effect '" + e + "' would change the BPM or stop the song");
    }
    return cell;
}

// What readSong keeps from line to line.
struct SongText {
    struct Track {
        int instrument = 0;
        std::vector<Cell> cells;
    };
    SongText(Song& song, int instrumentCount) : song(song), instrumentCount(instrumentCount) {}

    Song& song;
    int instrumentCount;
    std::map<std::string, Track> tracks;
    Track* current = nullptr;  // the track whose rows come next, between "track" and "end"
    bool restartSet = false;
};

// track NAME [inst II]
void startTrack(const LineReader& r, const std::vector<std::string>& w, SongText& text) {
    if (w.size() == 3 || (w.size() == 4 && w[2] != "inst"))
        r.fail("expected: track NAME [inst II]");
    if (text.tracks.count(w[1]) != 0)
        r.fail("track '" + w[1] + "' is defined twice");
    text.current = &text.tracks[w[1]];
    if (w.size() == 4)
        text.current->instrument = r.integer(w[3], 1, text.instrumentCount, 16);
}

// pattern NN TRACK... ("-" for a silent channel)
void addPattern(const LineReader& r, const std::vector<std::string>& w, SongText& text) {
    Song& song = text.song;
    const int number = r.integer(w[1], 0, 255, 16);
    if (number != static_cast<int>(song.patterns.size()))
        r.fail("patterns must be numbered 00, 01, ... in order");
    if (static_cast<int>(w.size()) != 2 + song.channels)
        r.fail("a pattern names one track per channel");
    Pattern pattern;
    pattern.cells.resize(static_cast<size_t>(pattern.rows) * song.channels);
    for (int ch = 0; ch < song.channels; ++ch) {
        const std::string& name = w[2 + ch];
        if (name == "-")
            continue;
        const auto found = text.tracks.find(name);
        if (found == text.tracks.end())
            r.fail("no track named '" + name + "'");
        const std::vector<Cell>& cells = found->second.cells;
        for (int row = 0; row < pattern.rows; ++row)
            pattern.cells[row * song.channels + ch] = cells[row % cells.size()];
    }
    song.patterns.push_back(pattern);
}

// The settings of song.txt outside tracks: the words a line may have, the keyword included, the
// line's form for the message when they do not fit, and what the line does.
struct SongKeyword {
    const char* name;
    size_t minWords, maxWords;
    const char* form;
    void (*apply)(const LineReader& r, const std::vector<std::string>& w, SongText& text);
};

constexpr size_t kAnyCount = SIZE_MAX;

const SongKeyword kSongKeywords[] = {
    {"title", 2, kAnyCount, "title TEXT",
     [](const LineReader&, const std::vector<std::string>& w, SongText& text) {
         text.song.title += joinWords(w, 1);
     }},
    {"channels", 2, 2, "channels N",
     [](const LineReader& r, const std::vector<std::string>& w, SongText& text) {
         text.song.channels = r.integer(w[1], 1, 32);
     }},
    {"speed", 2, 2, "speed N",
     [](const LineReader& r, const std::vector<std::string>& w, SongText& text) {
         text.song.speed = r.integer(w[1], 1, 31);
     }},
    {"bpm", 2, 2, "bpm N",
     [](const LineReader& r, const std::vector<std::string>& w, SongText& text) {
         text.song.bpm = r.integer(w[1], 32, 255);
     }},
    {"track", 2, 4, "track NAME [inst II]", startTrack},
    {"pattern", 2, kAnyCount, "pattern NN TRACK...", addPattern},
    {"order", 2, kAnyCount, "order NN...",
     [](const LineReader& r, const std::vector<std::string>& w, SongText& text) {
         for (size_t i = 1; i < w.size(); ++i)
             text.song.orders.push_back(r.integer(w[i], 0, 255, 16));
     }},
    {"restart", 2, 2, "restart NN",
     [](const LineReader& r, const std::vector<std::string>& w, SongText& text) {
         text.song.restart = r.integer(w[1], 0, 255, 16);
         text.restartSet = true;
     }},
};

}  // namespace

void readInstruments(const std::string& path, Song& song) {
    LineReader r(path);
    std::vector<std::string> w;
    Instrument* current = nullptr;
    while (r.next(w)) {
        if (current == nullptr) {
            // instrument NN NAME...
            if (w[0] != "instrument" || w.size() < 3)
                r.fail("expected: instrument NN NAME");
            const int number = r.integer(w[1], 1, 128, 16);
            if (number != static_cast<int>(song.instruments.size()) + 1)
                r.fail("instruments must be numbered 01, 02, ... in order");
            song.instruments.emplace_back();
            current = &song.instruments.back();
            current->name = joinWords(w, 2);
        } else if (w[0] == "end" && w.size() == 1) {
            if (current->recipe.layers.empty())
                r.fail("instrument '" + current->name + "' has no layer");
            current = nullptr;
        } else {
            parseInstrumentLine(r, w, *current);
        }
    }
    if (current != nullptr)
        r.fail("instrument '" + current->name + "' has no 'end'");
    if (song.instruments.empty())
        r.fail("no instrument");
}

void readSong(const std::string& path, Song& song) {
    LineReader r(path);
    SongText text(song, static_cast<int>(song.instruments.size()));
    std::vector<std::string> w;
    while (r.next(w)) {
        if (text.current != nullptr) {
            if (w[0] == "end" && w.size() == 1) {
                if (text.current->cells.empty() || 64 % text.current->cells.size() != 0)
                    r.fail("a track's row count must divide 64");
                text.current = nullptr;
                continue;
            }
            for (const std::string& word : w)
                text.current->cells.push_back(
                    parseCell(r, word, text.current->instrument, text.instrumentCount));
            continue;
        }
        const SongKeyword* keyword =
            std::find_if(std::begin(kSongKeywords), std::end(kSongKeywords),
                         [&](const SongKeyword& k) { return w[0] == k.name; });
        if (keyword == std::end(kSongKeywords))
            r.fail("unknown song setting '" + w[0] + "'");
        if (w.size() < keyword->minWords || w.size() > keyword->maxWords)
            r.fail(std::string("expected: ") + keyword->form);
        keyword->apply(r, w, text);
    }
    if (text.current != nullptr)
        r.fail("a track has no 'end'");
    if (song.orders.empty() || song.orders.size() > 256)
        r.fail("the order list needs 1 to 256 entries");
    for (int order : song.orders)
        if (order >= static_cast<int>(song.patterns.size()))
            r.fail("the order list names a pattern that does not exist");
    if (!text.restartSet || song.restart >= static_cast<int>(song.orders.size()))
        r.fail("the restart position must be an entry of the order list");
}

}  // namespace tw::music
