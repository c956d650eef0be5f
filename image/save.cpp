// SPDX-License-Identifier: MIT
// Picture::Save: the picture encoded straight into a file that replaces the
// target only once it is complete, so a failed save leaves an existing file
// exactly as it was and creates nothing.
#include "image/picture.h"
#include "image/replace_file.h"

namespace barquill::image {

bool Picture::Save(const char* filename, std::uint32_t type, bool sync) {
    try {
        switch (ReplaceFile(
            filename, [&](std::FILE* stream) { return Encode(stream, type); }, sync)) {
            case ReplaceFailure::None:
                return true;
            case ReplaceFailure::Write:
                SetLastError("Save: can't write the file");
                return false;
            case ReplaceFailure::Rename:
                SetLastError("Save: can't replace the file");
                return false;
            case ReplaceFailure::ReadOnly:
                SetLastError("Save: the file is read-only");
                return false;
            case ReplaceFailure::Create:   // errno says why; the last-error text stays
            case ReplaceFailure::Escapes:  // only a name given beneath a folder escapes
            case ReplaceFailure::Content:  // the writer has set its own text
                return false;
        }
    } catch (...) {
    }
    return false;
}

}  // namespace barquill::image
