// The scroll message the letter wall shows: 639 characters (81 blanks, then one line of running
// text) in a 641-byte array whose last two bytes are zero. Written in message.txt and checked for
// length and characters when the program is built.
#pragma once

namespace tw {

constexpr int kScrollMessageBytes = 641;
constexpr int kScrollMessageLength = 639;
constexpr int kScrollMessageLeadingBlanks = 81;

extern const char scrollMessage[kScrollMessageBytes];

}  // namespace tw
