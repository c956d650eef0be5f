#pragma once
// Replacing a file only once its new content is complete: the one way the
// library and its callers write files, so that no failure can destroy what
// was there before.

#include <cstdio>
#include <functional>

namespace barquill::image {

enum class ReplaceFailure {
    None,     // the file holds the new content
    Create,   // no temporary file could be made beside the target (errno)
    Content,  // the write function reported failure
    Write,    // the content could not be flushed, synced or closed (errno)
    Rename,   // the temporary file could not take the target's place (errno)
};

// Runs `write` on a temporary file beside `path` and renames that file over
// `path` once `write` succeeded and the file is complete and closed. On any
// failure the temporary file is removed and an existing file stays exactly
// as it was. A replaced file keeps its permissions; a new one gets 0666 less
// the umask; a symbolic link keeps pointing at the file it names.
// With `sync` the content reaches the disk before the rename, so that not
// even a crash can take the old file without leaving the new one; without
// it the system decides, as common Unix tools do, since a sync costs more
// than writing a whole symbol.
ReplaceFailure ReplaceFile(const char* path, const std::function<bool(std::FILE*)>& write,
                           bool sync);

}  // namespace barquill::image
