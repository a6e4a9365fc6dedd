// A file or folder that appears under its requested name only once it is complete: the one
// write-then-rename of the recorder, the asset tools and the generators.
//
// Construct with the final name; write to path(), a hidden name in the same folder (so the final
// rename never crosses file systems); commit() renames it into place. Until then the destructor
// removes whatever was written, so a failed run leaves nothing behind. writeFileAtomically() does
// all of it for bytes already in memory.
#pragma once

#include <cstddef>
#include <string>

namespace tw {

class PendingOutput {
  public:
    explicit PendingOutput(const std::string& finalPath);
    ~PendingOutput();
    PendingOutput(const PendingOutput&) = delete;
    PendingOutput& operator=(const PendingOutput&) = delete;

    const std::string& path() const { return tempPath; }
    // False, with error text, when the rename fails; the temporary is then still removed.
    bool commit(std::string& error);

  private:
    std::string finalPath;
    std::string tempPath;
    bool committed = false;
};

// Writes `size` bytes as the file `path`, through a PendingOutput. Empty on success, else what
// failed (the system's words); nothing is then left behind.
std::string writeFileAtomically(const std::string& path, const void* data, size_t size);

}  // namespace tw
