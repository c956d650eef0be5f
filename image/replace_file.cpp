// SPDX-License-Identifier: MIT
#include "image/replace_file.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "image/descriptor_path.h"
#include "image/folder_beneath.h"
#include "image/recording_stream.h"
#include "image/replace_leftovers.h"

namespace barquill::image {

namespace {

// As the kernel allows when it follows links itself.
constexpr int kMaxLinks = 40;
// Tries at a temporary name before giving up: each one is unique already.
constexpr int kMaxTemporaryNames = 100;

// Files being given their names, and a termination signal that arrived
// meanwhile. Lock-free atomics, so the signal handler may use them.
std::atomic<int> namingFiles{0};
std::atomic<int> pendingSignal{0};

void terminateNow(int signal) {
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

void onTerminationSignal(int signal) {
    pendingSignal.store(signal);
    if (namingFiles.load() == 0) terminateNow(signal);
}

// The span in which a kill would leave a named temporary file. After a
// termination signal nothing more is named (EINTR): the process ends as soon
// as the last file being named has its name.
bool enterNaming() {
    namingFiles.fetch_add(1);
    const int signal = pendingSignal.load();
    if (signal == 0) return true;
    if (namingFiles.fetch_sub(1) == 1) terminateNow(signal);
    errno = EINTR;
    return false;
}

void leaveNaming() {
    if (namingFiles.fetch_sub(1) == 1)
        if (const int signal = pendingSignal.load(); signal != 0) terminateNow(signal);
}

void closeKeepingErrno(int fd) {
    const int error = errno;
    close(fd);
    errno = error;
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Where a path that names nothing yet will be created: at the end of its
// chain of symbolic links when it is a dangling link. False with ELOOP.
bool followDanglingLinks(const char* path, std::string* target) {
    *target = path;
    for (int links = 0; links <= kMaxLinks; ++links) {
        struct stat status;
        if (lstat(target->c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return true;
        char link[PATH_MAX];
        const ssize_t length = readlink(target->c_str(), link, sizeof link - 1);
        if (length < 0) return false;
        const std::string next(link, static_cast<std::size_t>(length));
        *target = next.starts_with('/') ? next : folderOf(*target) + next;
    }
    errno = ELOOP;
    return false;
}

// Runs `write` over the descriptor, which stays open for the caller; None
// when the content is complete. A write the system refused fails the
// content even when `write` did not notice.
ReplaceFailure writeContent(int fd, const std::function<bool(std::FILE*)>& write, bool sync) {
    RecordingStream out(fd);
    if (out.stream() == nullptr) return ReplaceFailure::Write;
    const bool written = write(out.stream());
    const bool closed = out.close();
    if (out.firstError() != 0) {
        errno = out.firstError();
        return written ? ReplaceFailure::Write : ReplaceFailure::Content;
    }
    if (!written) return ReplaceFailure::Content;
    if (!closed || (sync && fsync(fd) != 0)) return ReplaceFailure::Write;
    return ReplaceFailure::None;
}

// A device, FIFO or terminal takes the content as it is; it is not a file
// that could be replaced.
ReplaceFailure writeInPlace(int folder, const std::string& name,
                            const std::function<bool(std::FILE*)>& write) {
    const int fd = openat(folder, name.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW);
    if (fd < 0) return ReplaceFailure::Create;
    const ReplaceFailure failure = writeContent(fd, write, false);
    closeKeepingErrno(fd);
    return failure;
}

// Through a copy of the descriptor, which shares its position and O_APPEND,
// and which another thread closing the original cannot take away.
ReplaceFailure writeIntoDescriptor(int descriptor, const std::function<bool(std::FILE*)>& write) {
    const int flags = fcntl(descriptor, F_GETFL);
    if (flags < 0) return ReplaceFailure::Create;
    if ((flags & O_ACCMODE) == O_RDONLY) {
        errno = EBADF;
        return ReplaceFailure::Create;
    }
    const int copy = fcntl(descriptor, F_DUPFD_CLOEXEC, 0);
    if (copy < 0) return ReplaceFailure::Create;
    // What the program printed before through its own streams comes first.
    if (descriptor == STDOUT_FILENO) std::fflush(stdout);
    if (descriptor == STDERR_FILENO) std::fflush(stderr);
    const ReplaceFailure failure = writeContent(copy, write, false);
    closeKeepingErrno(copy);
    return failure;
}

bool inGroup(gid_t group) {
    if (getegid() == group) return true;
    const int count = getgroups(0, nullptr);
    if (count <= 0) return false;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    const int got = getgroups(count, groups.data());
    for (int i = 0; i < got; ++i)
        if (groups[static_cast<std::size_t>(i)] == group) return true;
    return false;
}

// By the mode bits alone, as they apply to the user: root would pass any
// permission check, so for root a file with no write bit at all counts as
// made read-only on purpose.
bool userMayWriteByMode(const struct stat& status) {
    const uid_t user = geteuid();
    if (user == 0) return (status.st_mode & 0222) != 0;
    if (status.st_uid == user) return (status.st_mode & S_IWUSR) != 0;
    if (inGroup(status.st_gid)) return (status.st_mode & S_IWGRP) != 0;
    return (status.st_mode & S_IWOTH) != 0;
}

// The new file takes the old one's place for its owner too: owner and group
// where the process may set them, and the permission bits, but never
// set-user-ID, set-group-ID or sticky, which would hand the writer's
// rights, root's among them, to whoever may run the file.
bool takeOver(int fd, const struct stat& existing) {
    if (fchown(fd, existing.st_uid, existing.st_gid) != 0 && errno == EPERM) {
        // Not root: the group may still be one of the user's.
        if (fchown(fd, static_cast<uid_t>(-1), existing.st_gid) != 0) {
        }
    }
    return fchmod(fd, existing.st_mode & 0777) == 0;
}

// Gives the unnamed file open as `fd` the name `name` in the folder; EEXIST
// when taken.
bool linkUnnamed(int fd, int folder, const std::string& name) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    if (linkat(AT_FDCWD, self.c_str(), folder, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
    // Without /proc, only a privileged process can link a descriptor.
    if (errno == ENOENT && access("/proc/self/fd", F_OK) != 0)
        return linkat(fd, "", folder, name.c_str(), AT_EMPTY_PATH) == 0;
    return false;
}

// The unnamed file takes the target's name: directly when the name is free,
// else under a temporary name renamed over the target in one step.
ReplaceFailure nameUnnamed(int fd, int folder, const std::string& name) {
    if (linkUnnamed(fd, folder, name)) return ReplaceFailure::None;
    if (errno != EEXIST) return ReplaceFailure::Rename;
    for (int attempt = 0; attempt < kMaxTemporaryNames; ++attempt) {
        const std::string temporary = TemporaryName(name);
        if (!linkUnnamed(fd, folder, temporary)) {
            if (errno == EEXIST) continue;
            return ReplaceFailure::Rename;
        }
        if (betweenLinkAndRename != nullptr) betweenLinkAndRename();
        if (renameat(folder, temporary.c_str(), folder, name.c_str()) == 0)
            return ReplaceFailure::None;
        const int error = errno;
        unlinkat(folder, temporary.c_str(), 0);
        errno = error;
        return ReplaceFailure::Rename;
    }
    return ReplaceFailure::Rename;
}

// For file systems without unnamed files: a named temporary file, all of
// whose life counts as naming, so a termination signal waits for it.
ReplaceFailure replaceThroughTemporary(int folder, const std::string& name,
                                       const struct stat* existing,
                                       const std::function<bool(std::FILE*)>& write, bool sync) {
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < kMaxTemporaryNames && fd < 0; ++attempt) {
        temporary = TemporaryName(name);
        fd = openat(folder, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                    0666);
        if (fd < 0 && errno != EEXIST) return ReplaceFailure::Create;
    }
    if (fd < 0) return ReplaceFailure::Create;
    ReplaceFailure failure = ReplaceFailure::None;
    if (existing != nullptr && !takeOver(fd, *existing)) failure = ReplaceFailure::Create;
    if (failure == ReplaceFailure::None) failure = writeContent(fd, write, sync);
    if (close(fd) != 0 && failure == ReplaceFailure::None) failure = ReplaceFailure::Write;
    if (failure == ReplaceFailure::None &&
        renameat(folder, temporary.c_str(), folder, name.c_str()) != 0)
        failure = ReplaceFailure::Rename;
    if (failure != ReplaceFailure::None) {
        const int error = errno;
        unlinkat(folder, temporary.c_str(), 0);
        errno = error;
    }
    return failure;
}

ReplaceFailure replaceUnnamed(int folder, const std::string& name, const struct stat* existing,
                              const std::function<bool(std::FILE*)>& write, bool sync) {
    const int fd = openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd < 0) {
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            return ReplaceFailure::Create;
        if (!enterNaming()) return ReplaceFailure::Create;
        const ReplaceFailure failure = replaceThroughTemporary(folder, name, existing, write, sync);
        const int error = errno;
        leaveNaming();
        errno = error;
        return failure;
    }
    ReplaceFailure failure = ReplaceFailure::None;
    if (existing != nullptr && !takeOver(fd, *existing)) failure = ReplaceFailure::Create;
    if (failure == ReplaceFailure::None) failure = writeContent(fd, write, sync);
    if (failure == ReplaceFailure::None) {
        if (enterNaming()) {
            failure = nameUnnamed(fd, folder, name);
            const int error = errno;
            leaveNaming();
            errno = error;
        } else {
            failure = ReplaceFailure::Rename;
        }
    }
    closeKeepingErrno(fd);  // an unnamed file that was not linked vanishes here
    return failure;
}

// What a name in a folder holds, by the rules of what may be replaced:
// nothing yet, a regular file (`existing`), or what takes the content in
// place (a device, a FIFO, a terminal). The name itself is looked at, never
// a link's target: every caller has resolved the links it follows.
enum class Found { Nothing, File, InPlace };

ReplaceFailure inspect(int folder, const std::string& name, const ReplaceOptions& options,
                       struct stat* existing, Found* found) {
    if (name.empty() || name == "." || name == "..") {
        errno = EISDIR;
        return ReplaceFailure::Create;
    }
    *found = Found::Nothing;
    if (fstatat(folder, name.c_str(), existing, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? ReplaceFailure::None : ReplaceFailure::Create;
    if (S_ISLNK(existing->st_mode)) {
        errno = ELOOP;
        return ReplaceFailure::Escapes;
    }
    if (S_ISDIR(existing->st_mode)) {
        errno = EISDIR;
        return ReplaceFailure::Create;
    }
    if (!S_ISREG(existing->st_mode)) {
        *found = Found::InPlace;
        return ReplaceFailure::None;
    }
    if (!options.replaceReadOnly && !userMayWriteByMode(*existing)) {
        errno = EACCES;
        return ReplaceFailure::ReadOnly;
    }
    *found = Found::File;
    return ReplaceFailure::None;
}

ReplaceFailure replaceIn(int folder, const std::string& name,
                         const std::function<bool(std::FILE*)>& write,
                         const ReplaceOptions& options) {
    struct stat existing;
    Found found = Found::Nothing;
    if (const ReplaceFailure failure = inspect(folder, name, options, &existing, &found);
        failure != ReplaceFailure::None)
        return failure;
    if (found == Found::InPlace) return writeInPlace(folder, name, write);
    SweepLeftoversOnce(folder);
    return replaceUnnamed(folder, name, found == Found::File ? &existing : nullptr, write,
                          options.sync);
}

// The file a path names once its links are followed: an existing file's
// real path, or where a dangling link would create it.
ReplaceFailure resolveTarget(const char* path, std::string* target) {
    struct stat existing;
    if (stat(path, &existing) != 0) {
        if (errno != ENOENT) return ReplaceFailure::Create;  // ELOOP, EACCES, ENOTDIR
        if (!followDanglingLinks(path, target)) return ReplaceFailure::Create;
        return ReplaceFailure::None;
    }
    if (S_ISDIR(existing.st_mode)) {
        errno = EISDIR;
        return ReplaceFailure::Create;
    }
    // Replacing through a symbolic link replaces the file it points to.
    char* real = realpath(path, nullptr);
    if (real == nullptr) return ReplaceFailure::Create;
    *target = real;
    std::free(real);
    return ReplaceFailure::None;
}

ReplaceFailure replaceInFolder(const std::string& target,
                               const std::function<bool(std::FILE*)>& write,
                               const ReplaceOptions& options) {
    const std::string folderName = folderOf(target);
    const int folder =
        open(folderName.empty() ? "." : folderName.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) return ReplaceFailure::Create;
    const ReplaceFailure failure =
        replaceIn(folder, target.substr(folderName.size()), write, options);
    closeKeepingErrno(folder);
    return failure;
}

}  // namespace

ReplaceFailure ReplaceFile(const char* path, const std::function<bool(std::FILE*)>& write,
                           const ReplaceOptions& options) {
    if (path == nullptr || *path == '\0') {
        errno = ENOENT;
        return ReplaceFailure::Create;
    }
    if (const int descriptor = DescriptorNamedBy(path); descriptor >= 0)
        return writeIntoDescriptor(descriptor, write);
    std::string target;
    if (const ReplaceFailure failure = resolveTarget(path, &target);
        failure != ReplaceFailure::None)
        return failure;
    return replaceInFolder(target, write, options);
}

ReplaceFailure ReplaceFileBeneath(int folder, const char* relativeName,
                                  const std::function<bool(std::FILE*)>& write,
                                  const ReplaceOptions& options) {
    if (relativeName == nullptr || *relativeName == '\0') {
        errno = ENOENT;
        return ReplaceFailure::Create;
    }
    const std::string relative = relativeName;
    if (LeavesFolderByName(relative)) return ReplaceFailure::Escapes;
    const std::string folderName = folderOf(relative);
    const FolderBeneath opened = OpenFolderBeneath(folder, folderName);
    if (opened.fd < 0) return opened.escapes ? ReplaceFailure::Escapes : ReplaceFailure::Create;
    const ReplaceFailure failure =
        replaceIn(opened.fd, relative.substr(folderName.size()), write, options);
    closeKeepingErrno(opened.fd);
    return failure;
}

struct ReplaceGroup::Target {
    enum class State {
        Checked,    // nothing written yet
        Written,    // the new content is complete under `temporary`
        Direct,     // written into a device, FIFO or descriptor as it is
        Created,    // took a name that was free
        Exchanged,  // swapped names with the old file, now under `temporary`
        Replaced,   // renamed over the old file, which is gone
    };
    std::string folder;   // a path, or with a group folder a name beneath it
    std::string name;     // the last part
    int descriptor = -1;  // the open descriptor the path names, or -1
    bool inPlace = false;
    bool existed = false;
    struct stat existing {};
    std::string temporary;
    dev_t device = 0;  // the new file's identity, so taking it back removes only it
    ino_t inode = 0;
    State state = State::Checked;
};

ReplaceGroup::ReplaceGroup(const ReplaceOptions& options, int folder)
    : options_(options), beneath_(folder) {
    naming_ = enterNaming();
}

ReplaceGroup::~ReplaceGroup() {
    if (!committed_) TakeBack();
    if (naming_) leaveNaming();
}

int ReplaceGroup::OpenFolder(const Target& target, bool* escapes) const {
    *escapes = false;
    if (beneath_ < 0)
        return open(target.folder.empty() ? "." : target.folder.c_str(),
                    O_PATH | O_DIRECTORY | O_CLOEXEC);
    const FolderBeneath opened = OpenFolderBeneath(beneath_, target.folder);
    *escapes = opened.escapes;
    return opened.fd;
}

namespace {

bool interrupted() {
    if (pendingSignal.load() == 0) return false;
    errno = EINTR;
    return true;
}

}  // namespace

ReplaceFailure ReplaceGroup::Check(const char* path) {
    if (!naming_ || interrupted()) {
        errno = EINTR;
        return ReplaceFailure::Create;
    }
    if (path == nullptr || *path == '\0') {
        errno = ENOENT;
        return ReplaceFailure::Create;
    }
    Target target;
    std::string resolved = path;
    if (beneath_ >= 0) {
        if (LeavesFolderByName(resolved)) return ReplaceFailure::Escapes;
    } else {
        target.descriptor = DescriptorNamedBy(path);
        if (target.descriptor >= 0) {
            targets_.push_back(std::move(target));
            return ReplaceFailure::None;
        }
        if (const ReplaceFailure failure = resolveTarget(path, &resolved);
            failure != ReplaceFailure::None)
            return failure;
    }
    target.folder = folderOf(resolved);
    target.name = resolved.substr(target.folder.size());
    bool escapes = false;
    const int folder = OpenFolder(target, &escapes);
    if (folder < 0) return escapes ? ReplaceFailure::Escapes : ReplaceFailure::Create;
    Found found = Found::Nothing;
    ReplaceFailure failure = inspect(folder, target.name, options_, &target.existing, &found);
    // The temporary file is made in the folder: it must take new names.
    if (failure == ReplaceFailure::None && found != Found::InPlace &&
        faccessat(folder, ".", W_OK | X_OK, AT_EACCESS) != 0)
        failure = ReplaceFailure::Create;
    closeKeepingErrno(folder);
    if (failure != ReplaceFailure::None) return failure;
    target.inPlace = found == Found::InPlace;
    target.existed = found == Found::File;
    targets_.push_back(std::move(target));
    return ReplaceFailure::None;
}

ReplaceFailure ReplaceGroup::Write(std::size_t index,
                                   const std::function<bool(std::FILE*)>& write) {
    if (index >= targets_.size() || interrupted()) {
        if (errno != EINTR) errno = EINVAL;
        return ReplaceFailure::Create;
    }
    Target& target = targets_[index];
    if (target.descriptor >= 0) {
        target.state = Target::State::Direct;
        return writeIntoDescriptor(target.descriptor, write);
    }
    bool escapes = false;
    const int folder = OpenFolder(target, &escapes);
    if (folder < 0) return escapes ? ReplaceFailure::Escapes : ReplaceFailure::Create;
    ReplaceFailure failure = ReplaceFailure::None;
    if (target.inPlace) {
        target.state = Target::State::Direct;
        failure = writeInPlace(folder, target.name, write);
        closeKeepingErrno(folder);
        return failure;
    }
    SweepLeftoversOnce(folder);
    int fd = -1;
    for (int attempt = 0; attempt < kMaxTemporaryNames && fd < 0; ++attempt) {
        target.temporary = TemporaryName(target.name);
        fd = openat(folder, target.temporary.c_str(),
                    O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
        target.temporary.clear();
        closeKeepingErrno(folder);
        return ReplaceFailure::Create;
    }
    struct stat made {};
    if (fstat(fd, &made) != 0 || (target.existed && !takeOver(fd, target.existing)))
        failure = ReplaceFailure::Create;
    if (failure == ReplaceFailure::None) failure = writeContent(fd, write, options_.sync);
    if (close(fd) != 0 && failure == ReplaceFailure::None) failure = ReplaceFailure::Write;
    if (failure == ReplaceFailure::None) {
        target.device = made.st_dev;
        target.inode = made.st_ino;
        target.state = Target::State::Written;
    } else {
        const int error = errno;
        unlinkat(folder, target.temporary.c_str(), 0);
        target.temporary.clear();
        errno = error;
    }
    closeKeepingErrno(folder);
    return failure;
}

ReplaceFailure ReplaceGroup::Commit() {
    for (std::size_t i = 0; i < targets_.size(); ++i) {
        Target& target = targets_[i];
        if (target.state == Target::State::Direct) continue;
        failed_ = i;
        if (target.state != Target::State::Written || interrupted()) {
            if (errno != EINTR) errno = EINVAL;
            return ReplaceFailure::Rename;
        }
        bool escapes = false;
        const int folder = OpenFolder(target, &escapes);
        if (folder < 0) return escapes ? ReplaceFailure::Escapes : ReplaceFailure::Rename;
        const char* from = target.temporary.c_str();
        const char* to = target.name.c_str();
        bool named = false;
        if (renameat2(folder, from, folder, to, RENAME_NOREPLACE) == 0) {
            target.state = Target::State::Created;
            named = true;
        } else if (errno == EEXIST && renameat2(folder, from, folder, to, RENAME_EXCHANGE) == 0) {
            // The old file now has the temporary name, to be removed once
            // every file has its name, or swapped back.
            target.state = Target::State::Exchanged;
            named = true;
        } else if ((errno == EINVAL || errno == ENOSYS) &&
                   renameat(folder, from, folder, to) == 0) {
            // A file system that cannot swap names: a new name can still be
            // taken back, a replaced file cannot.
            target.state = target.existed ? Target::State::Replaced : Target::State::Created;
            target.temporary.clear();
            named = true;
        }
        closeKeepingErrno(folder);
        if (!named) return ReplaceFailure::Rename;
    }
    for (Target& target : targets_) {
        if (target.state != Target::State::Exchanged) continue;
        bool escapes = false;
        const int folder = OpenFolder(target, &escapes);
        if (folder >= 0) {
            unlinkat(folder, target.temporary.c_str(), 0);
            close(folder);
        }
    }
    committed_ = true;
    return ReplaceFailure::None;
}

void ReplaceGroup::TakeBack() {
    const int error = errno;
    for (auto target = targets_.rbegin(); target != targets_.rend(); ++target) {
        if (target->temporary.empty() && target->state != Target::State::Created) continue;
        bool escapes = false;
        const int folder = OpenFolder(*target, &escapes);
        if (folder < 0) continue;
        const char* temporary = target->temporary.c_str();
        const char* name = target->name.c_str();
        switch (target->state) {
            case Target::State::Exchanged:
                // The old file takes its name back; the new one is removed.
                if (renameat2(folder, temporary, folder, name, RENAME_EXCHANGE) == 0)
                    unlinkat(folder, temporary, 0);
                break;
            case Target::State::Created: {
                // Only the file this group made, should another have taken its place.
                struct stat status {};
                if (fstatat(folder, name, &status, AT_SYMLINK_NOFOLLOW) == 0 &&
                    status.st_dev == target->device && status.st_ino == target->inode)
                    unlinkat(folder, name, 0);
                break;
            }
            case Target::State::Written:
                unlinkat(folder, temporary, 0);
                break;
            default:
                break;
        }
        close(folder);
    }
    errno = error;
}

void InstallTerminationGuard() {
    static_assert(std::atomic<int>::is_always_lock_free);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction current {};
        if (sigaction(signal, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) continue;
        struct sigaction guard {};
        guard.sa_handler = onTerminationSignal;
        sigemptyset(&guard.sa_mask);
        guard.sa_flags = SA_RESTART;
        sigaction(signal, &guard, nullptr);
    }
}

}  // namespace barquill::image
