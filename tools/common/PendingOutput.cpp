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

std::string writeFileAtomically(const std::string& path, const void* data, size_t size) {
    PendingOutput output(path);
    std::FILE* file = std::fopen(output.path().c_str(), "wb");
    if (file == nullptr)
        return std::strerror(errno);
    const bool written = std::fwrite(data, 1, size, file) == size;
    const int writeError = written ? 0 : errno;
    const bool closed = std::fclose(file) == 0;  // a full disk may show only here
    if (!written || !closed)
        return std::strerror(writeError != 0 ? writeError : errno != 0 ? errno : EIO);
    std::string error;
    output.commit(error);
    return error;
}

}  // namespace tw
