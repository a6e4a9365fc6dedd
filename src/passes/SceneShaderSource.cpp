#include "passes/SceneShaderSource.h"

#include <cstring>

#include "embedded/sceneGeometrySource.h"
#include "embedded/sceneMainSource.h"
#include "embedded/sceneShadingSource.h"
#include "embedded/sceneSkySource.h"

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

std::string sceneFragmentSource() {
    return joinShaderParts(
        {sceneGeometrySource, sceneSkySource, sceneShadingSource, sceneMainSource});
}

}  // namespace tw
