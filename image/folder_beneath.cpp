// SPDX-License-Identifier: MIT
#include "image/folder_beneath.h"

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

namespace barquill::image {

namespace {

// The kernel asks for a retry when a rename elsewhere raced the lookup.
constexpr int kMaxRetries = 8;

constexpr int kFolderFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;

FolderBeneath refused() {
    return FolderBeneath{-1, true};
}

FolderBeneath failed() {
    return FolderBeneath{-1, false};
}

// Calls `visit` with every part of the name but empty ones and "."; stops at
// the first that returns false.
template <class Visit>
bool forEachPart(std::string_view name, Visit visit) {
    while (!name.empty()) {
        const std::size_t slash = name.find('/');
        const std::string_view part = name.substr(0, slash);
        if (!part.empty() && part != "." && !visit(part)) return false;
        if (slash == std::string_view::npos) break;
        name.remove_prefix(slash + 1);
    }
    return true;
}

}  // namespace

bool LeavesFolderByName(const std::string& relative) {
    if (relative.starts_with('/')) return true;
    return !forEachPart(relative, [](std::string_view part) { return part != ".."; });
}

FolderBeneath OpenFolderBeneath(int folder, const std::string& relative) {
    if (LeavesFolderByName(relative)) return refused();
#ifdef SYS_openat2
    open_how how{};
    how.flags = kFolderFlags;
    how.resolve = RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS;
    const char* name = relative.empty() ? "." : relative.c_str();
    for (int attempt = 0; attempt < kMaxRetries; ++attempt) {
        const long fd = syscall(SYS_openat2, folder, name, &how, sizeof how);
        if (fd >= 0) return FolderBeneath{static_cast<int>(fd), false};
        // EXDEV: the name left the folder; ELOOP: a link was met.
        if (errno == EXDEV || errno == ELOOP) return refused();
        if (errno != EAGAIN) {
            if (errno == ENOSYS) break;
            return failed();
        }
    }
#endif
    return WalkFolderBeneath(folder, relative);
}

FolderBeneath WalkFolderBeneath(int folder, const std::string& relative) {
    if (LeavesFolderByName(relative)) return refused();
    int current = openat(folder, ".", kFolderFlags);
    if (current < 0) return failed();
    bool escapes = false;
    forEachPart(relative, [&](std::string_view part) {
        const std::string name(part);
        const int next = openat(current, name.c_str(), kFolderFlags | O_NOFOLLOW);
        if (next < 0) {
            const int error = errno;
            struct stat status;
            escapes = fstatat(current, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 &&
                      S_ISLNK(status.st_mode);
            close(current);
            current = -1;
            errno = error;
            return false;
        }
        close(current);
        current = next;
        return true;
    });
    return FolderBeneath{current, escapes};
}

}  // namespace barquill::image
