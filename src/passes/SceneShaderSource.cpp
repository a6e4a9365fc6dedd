#include "passes/SceneShaderSource.h"

#include <cstring>

#include "embedded/sceneFragmentStage.h"
#include "embedded/sceneVertexStage.h"

namespace tw {

std::string sceneVertexSource() {
    return sceneVertexStage;
}

std::string sceneFragmentSource(const char* defines) {
    // Right after the version line, which must stay first.
    const char* lineEnd = std::strchr(sceneFragmentStage, '\n');
    const size_t versionLine = lineEnd != nullptr ? lineEnd + 1 - sceneFragmentStage : 0;
    std::string source(sceneFragmentStage, versionLine);
    source += defines;
    source += sceneFragmentStage + versionLine;
    return source;
}

SceneProgramSource sceneProgramSource() {
    return {sceneVertexSource(), sceneFragmentSource()};
}

}  // namespace tw
