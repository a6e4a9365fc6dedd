#include "PendingOutput.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace tw {

PendingOutput::PendingOutput(const std::string& finalPath) : finalPath(finalPath) {
    const std::filesystem::path target(finalPath);
    const std::string hidden =
        "." + target.filename().string() + ".partial-" + std::to_string(getpid());
    tempPath = (target.parent_path() / hidden).string();
}

PendingOutput::~PendingOutput() {
    if (committed)
        return;
    std::error_code ignored;
    std::filesystem::remove_all(tempPath, ignored);
}

bool PendingOutput::commit(std::string& error) {
    // rename() replaces an existing file, or an empty folder when the temporary is a folder.
    if (std::rename(tempPath.c_str(), finalPath.c_str()) != 0) {
        error = "cannot rename " + tempPath + " to " + finalPath + ": " + std::strerror(errno);
        return false;
    }
    committed = true;
    return true;
}

}  // namespace tw
