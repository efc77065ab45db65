// Files replaced whole: the new bytes go to a fresh file beside the target,
// which is synced and renamed over it, so a failed save never destroys what
// was there.
#pragma once

#include <string>
#include <string_view>

namespace kv::io {

struct Replaced {
    enum class Step { Done, Folder, Open, Write, Rename };
    Step step = Step::Done; // where it failed: the target is a folder, the new file, its bytes, the rename
    int error = 0;          // errno of the failed step
    explicit operator bool() const { return step == Step::Done; }
};

// Writes `bytes` as file `path`, keeping the old file's permissions; on a
// failure the old file is as it was and no temporary file is left.
Replaced replaceFile(const std::string& path, std::string_view bytes);

// Why a replace failed, for the user: the folder missing or refusing, the disk
// full, or the system's words.
std::string whyNotReplaced(const std::string& path, const Replaced& r);

} // namespace kv::io
