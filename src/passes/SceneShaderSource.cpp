#include "passes/SceneShaderSource.h"

#include <cstring>

#include "embedded/sceneFragmentStage.h"
#include "embedded/sceneVertexStage.h"

namespace tw {

namespace {

// `stage` with `defines` right after its version line, which must stay first.
std::string withDefines(const char* stage, const char* defines) {
    const char* lineEnd = std::strchr(stage, '\n');
    const size_t versionLine = lineEnd != nullptr ? lineEnd + 1 - stage : 0;
    std::string source(stage, versionLine);
    source += defines;
    source += stage + versionLine;
    return source;
}

}  // namespace

std::string sceneVertexSource(bool scissorPerInstance) {
    return withDefines(sceneVertexStage,
                       scissorPerInstance ? "#define SCISSOR_PER_INSTANCE\n" : "");
}

std::string sceneFragmentSource(const char* defines) {
    return withDefines(sceneFragmentStage, defines);
}

SceneProgramSource sceneProgramSource() {
    return {sceneVertexSource(), sceneFragmentSource()};
}

}  // namespace tw
