// The scene program as first transcribed: every value computed in every fragment, the pass-through
// vertex stage. Slower, but it runs where the GL's limits are too low for the scene program
// (PassChain falls back to it), and tidewatch-bench times it as the baseline. Build a ScenePass
// with faithfulSceneProgramSource().
#pragma once

#include "passes/SceneShaderSource.h"

namespace tw {

SceneProgramSource faithfulSceneProgramSource();

}  // namespace tw
