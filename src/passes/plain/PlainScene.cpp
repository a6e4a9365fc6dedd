#include "passes/plain/PlainScene.h"

#include "embedded/passthroughVertexSource.h"
#include "embedded/plainFrameSource.h"
#include "embedded/plainMainSource.h"
#include "embedded/sceneConstantsSource.h"
#include "embedded/sceneFrameSource.h"
#include "embedded/sceneGeometrySource.h"
#include "embedded/sceneInputsSource.h"
#include "embedded/sceneShadingSource.h"
#include "embedded/sceneSkyModelSource.h"
#include "embedded/sceneSkySource.h"
#include "embedded/sceneSpheresSource.h"

namespace tw {

SceneProgramSource plainSceneProgramSource() {
    return {passthroughVertexSource,
            joinShaderParts({sceneConstantsSource, sceneSkyModelSource, plainFrameSource,
                             sceneInputsSource, sceneSpheresSource, sceneFrameSource,
                             sceneGeometrySource, sceneSkySource, sceneShadingSource,
                             plainMainSource})};
}

}  // namespace tw
