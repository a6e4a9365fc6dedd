#include "passes/faithful/FaithfulScene.h"

#include "embedded/faithfulGeometrySource.h"
#include "embedded/faithfulMainSource.h"
#include "embedded/faithfulShadingSource.h"
#include "embedded/faithfulSkySource.h"
#include "embedded/passthroughVertexSource.h"

namespace tw {

SceneProgramSource faithfulSceneProgramSource() {
    return {passthroughVertexSource, joinShaderParts({faithfulGeometrySource, faithfulSkySource,
                                                      faithfulShadingSource, faithfulMainSource})};
}

}  // namespace tw
