// The plain scene program: every value computed in every fragment, the pass-through vertex stage.
// Slower, but it runs where the GL's limits are too low for the scene program (PassChain falls
// back to it), and tidewatch-bench times it beside the scene program. Build a ScenePass with
// plainSceneProgramSource().
#pragma once

#include "passes/SceneShaderSource.h"

namespace tw {

SceneProgramSource plainSceneProgramSource();

}  // namespace tw
