// SPDX-License-Identifier: MIT
#pragma once
// The tool's exit statuses, one per kind of outcome a script may branch on.

namespace barquill::cli {

enum ExitStatus : int {
    EXIT_WRITTEN = 0,        // every output was written
    EXIT_USAGE = 1,          // bad option or value; nothing was written
    EXIT_NOT_ENCODABLE = 2,  // the data cannot be encoded (in a batch: any item)
    EXIT_NOT_WRITTEN = 3,    // an output could not be written
    EXIT_NOT_VERIFIED = 4,   // a symbol did not read back as asked; it was not written
};

}  // namespace barquill::cli
