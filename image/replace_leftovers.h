// SPDX-License-Identifier: MIT
#pragma once
// Temporary names of finished files, and the sweeping of those a killed
// process left. Replacing an existing file links the finished file under a
// temporary name and renames it over the target; SIGKILL between the two
// leaves it. The name tells whose it is, so a later write in the folder
// removes it once that process is gone.

#include <string>
#include <string_view>

namespace barquill::image {

// ".<target>.barquill-<pid namespace>-<pid>-<counter>.tmp", the target's name
// cut to keep the whole within the usual 255-byte limit; unique among the
// process's threads.
std::string TemporaryName(std::string_view target);

// Removes from the folder every regular file whose name TemporaryName could
// have made for a process of this pid namespace that no longer runs. Does
// its work once per folder and process: the first write into a folder pays
// for one reading of it.
void SweepLeftoversOnce(int folder);

// For tests only: called after a finished file took its temporary name and
// before it takes the target's.
extern void (*betweenLinkAndRename)();

}  // namespace barquill::image
