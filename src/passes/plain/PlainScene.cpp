#include "passes/plain/PlainScene.h"

#include "embedded/passthroughVertexSource.h"
#include "embedded/plainGeometrySource.h"
#include "embedded/plainMainSource.h"
#include "embedded/plainShadingSource.h"
#include "embedded/plainSkySource.h"

namespace tw {

SceneProgramSource plainSceneProgramSource() {
    return {passthroughVertexSource, joinShaderParts({plainGeometrySource, plainSkySource,
                                                      plainShadingSource, plainMainSource})};
}

}  // namespace tw
