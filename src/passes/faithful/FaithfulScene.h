// The scene program as first transcribed: every value computed in every fragment, the pass-through
// vertex stage. Slow; kept only as the baseline that tidewatch-bench times and that a test
// compares the scene pass's pictures with. Build a ScenePass with faithfulSceneProgramSource().
#pragma once

#include "passes/SceneShaderSource.h"

namespace tw {

SceneProgramSource faithfulSceneProgramSource();

}  // namespace tw
