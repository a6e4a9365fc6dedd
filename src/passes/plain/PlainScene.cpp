#include "passes/plain/PlainScene.h"

#include "embedded/passthroughVertexSource.h"
#include "embedded/plainFragmentStage.h"

namespace tw {

SceneProgramSource plainSceneProgramSource() {
    return {passthroughVertexSource, plainFragmentStage};
}

}  // namespace tw
