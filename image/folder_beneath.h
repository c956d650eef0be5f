// SPDX-License-Identifier: MIT
#pragma once
// Opening a folder given relative to another without ever leaving it: no
// absolute name, no "..", and no symbolic link on the way, not even one that
// would stay inside, so the rule is the same with or without the kernel's
// help and no link target is ever read.

#include <string>

namespace barquill::image {

struct FolderBeneath {
    int fd = -1;           // an O_PATH descriptor of the folder, to be closed by the caller
    bool escapes = false;  // when fd is -1: refused by the rule above; otherwise errno says why
};

// The kernel resolves the name where it can (openat2 with RESOLVE_BENEATH and
// RESOLVE_NO_SYMLINKS, Linux 5.6 on); older kernels get the walk below. An
// empty name or "." is the folder itself.
FolderBeneath OpenFolderBeneath(int folder, const std::string& relative);

// One folder at a time, each opened with O_NOFOLLOW relative to the one
// before: the same rule for kernels without openat2.
FolderBeneath WalkFolderBeneath(int folder, const std::string& relative);

// Whether a relative name could lead out of its folder by its text alone:
// absolute, or with a ".." part.
bool LeavesFolderByName(const std::string& relative);

}  // namespace barquill::image
