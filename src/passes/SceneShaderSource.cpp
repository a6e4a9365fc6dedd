#include "passes/SceneShaderSource.h"

#include <cstring>

#include "embedded/sceneConstantsSource.h"
#include "embedded/sceneFrameSource.h"
#include "embedded/sceneGeometrySource.h"
#include "embedded/sceneInputsSource.h"
#include "embedded/sceneMainSource.h"
#include "embedded/sceneShadingSource.h"
#include "embedded/sceneSkyModelSource.h"
#include "embedded/sceneSkySource.h"
#include "embedded/sceneSpheresSource.h"
#include "embedded/sceneVertexMainSource.h"

namespace tw {

std::string joinShaderParts(std::initializer_list<const char*> parts) {
    std::string joined;
    bool first = true;
    for (const char* part : parts) {
        const char* text = part;
        if (!first && std::strncmp(text, "#version", 8) == 0) {
            const char* lineEnd = std::strchr(text, '\n');
            text = lineEnd != nullptr ? lineEnd + 1 : text + std::strlen(text);
        }
        joined += text;
        if (!joined.empty() && joined.back() != '\n')
            joined += '\n';
        first = false;
    }
    return joined;
}

std::string sceneVertexSource() {
    return joinShaderParts({sceneConstantsSource, sceneSkyModelSource, sceneInputsSource,
                            sceneSpheresSource, sceneFrameSource, sceneVertexMainSource});
}

std::string sceneFragmentSource(const char* defines) {
    return joinShaderParts({sceneConstantsSource, sceneSkyModelSource, defines, sceneInputsSource,
                            sceneGeometrySource, sceneSkySource, sceneShadingSource,
                            sceneMainSource});
}

SceneProgramSource sceneProgramSource() {
    return {sceneVertexSource(), sceneFragmentSource()};
}

}  // namespace tw
