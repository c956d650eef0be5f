#pragma once
// Replacing a file only once its new content is complete.

#include <string>
#include <string_view>

namespace barquill::cli {

// Writes the bytes to a temporary file beside `path` and renames it over
// `path`, so an existing file survives any failure unchanged and no partial
// file is left behind. A replaced file keeps its permissions and a symbolic
// link keeps pointing at the replaced file; a new file gets 0666 less the
// umask. Like common Unix tools it leaves flushing to the disk to the
// system: a sync per file would cost more than the whole symbol. On failure
// returns false with the reason in *error.
bool replaceFile(const std::string& path, std::string_view bytes, std::string* error);

}  // namespace barquill::cli
