// Renders an instrument's synthesis recipe into the 8-bit sample XM stores, with the relative
// note and finetune that make the recipe's base note sound at its designed pitch.
#pragma once

#include "Song.h"

namespace tw::music {

// Throws std::runtime_error when the recipe cannot be rendered (a layer that fits no whole
// number of cycles into the loop, a sample too short or too long).
Sample renderSample(const Recipe& recipe);

// Pitch of a 0-based note (48 = C-4) in equal temperament, A-4 = 440 Hz.
double notePitch(int note);

}  // namespace tw::music
