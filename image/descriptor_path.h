// SPDX-License-Identifier: MIT
#pragma once
// Paths that name one of the process's own open descriptors: /dev/stdout,
// /dev/stderr, /dev/fd/N, /proc/self/fd/N, /proc/<pid>/fd/N, and links to
// them. Opening such a path opens the file behind the descriptor anew, at
// its start and without its O_APPEND, so replacing or truncating it would
// destroy what the shell's redirection has already written there.

namespace barquill::image {

// The descriptor that `path` names, or -1 when it names none. The
// descriptor need not be open: a path into the process's descriptor folder
// names its number all the same.
int DescriptorNamedBy(const char* path);

}  // namespace barquill::image
