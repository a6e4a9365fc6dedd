// What the program's entry points (main.cpp) return to the page (page.js). web/assemble.mjs
// copies this file's constants into the page's script, so each stays one line
// `constexpr <type> <name> = <number>;`.
#pragma once

namespace tw {

constexpr int kOk = 0;        // done as asked
constexpr int kNoWebGl2 = 1;  // tw_start: the browser offers no WebGL 2
// tw_start and tw_restore: a program failed to build (its line on standard output, the compiler
// log on standard error, as on the desktop).
constexpr int kBuildFailed = 2;
constexpr int kSizeTooLarge = 3;  // tw_start: size= beyond what this GL renders to (its line)
// Beside their own codes, from tw_start, tw_restore and tw_frame: the context is gone (nothing was
// built or drawn; the page waits for the browser to give it back), or the GL reported an error
// (its line on standard output).
constexpr int kContextLost = 4;
constexpr int kGlFailed = 5;

}  // namespace tw
