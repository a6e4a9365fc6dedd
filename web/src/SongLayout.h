// The song's shape as the page's player shows it: the length of one pass through the order list
// and where the loop that repeats after it begins, so that a time past the end can be shown as the
// point of the song that is heard then.
//
// readSongLayout() once the module asset is in place; it plays nothing and keeps no player.
#pragma once

namespace tw {

struct SongLayout {
    double seconds = 0;    // one pass from the start, in seconds; 0 when the module did not load
    double loopStart = 0;  // seconds from the start to the restart position
};

SongLayout readSongLayout();

}  // namespace tw
