// SPDX-License-Identifier: MIT
#pragma once
// Replacing a file only once its new content is complete: the one way the
// library and its callers write files, so that no failure can destroy what
// was there before.

#include <sys/types.h>

#include <cstddef>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace barquill::image {

enum class ReplaceFailure {
    None,      // the file holds the new content
    Create,    // no file could be made for the target, or the target is a folder (errno)
    Content,   // the write function reported failure; errno is the system's reason when the
               // file refused a write (ENOSPC, EFBIG), else the write function's
    Write,     // the file refused content the write function took for written, or it could
               // not be flushed, synced or closed (errno)
    Rename,    // the new file could not take the target's name (errno)
    ReadOnly,  // the target's mode bits let the user not write it, and may not replace it
    Escapes,   // the name leads, or could lead, out of the folder it is given in
};

struct ReplaceOptions {
    // The content reaches the disk before it takes the name, so that not
    // even a crash can take the old file without leaving the new one.
    // Without it the system decides, as common Unix tools do, since a sync
    // costs more than writing a whole symbol.
    bool sync = false;
    // Whether a file the user may not write by its mode bits is replaced
    // like any other; otherwise it is refused, as cp refuses it without -f.
    // The bits decide for everyone: the owner's, the group's or the others'
    // write bit, whichever applies to the user, and for root any of them,
    // so root too keeps off a file made read-only (0444).
    bool replaceReadOnly = true;
};

// Runs `write` on a new, unnamed file in the target's folder and gives it the
// target's name only once `write` succeeded and the file is complete, so an
// existing file stays exactly as it was on any failure and no part-written
// file is ever left under a name.
//
// A replaced file keeps its owner and group where the process may give
// them (root always; another user keeps a group of his own) and its
// permission bits, but never set-user-ID, set-group-ID or sticky. A new file
// gets 0666 less the umask.
//
// A symbolic link, dangling or not, is followed and keeps pointing at the
// file it names; a loop of links is an error (ELOOP), and so is a folder
// (EISDIR). What is not a regular file (a device, a FIFO, a terminal) is
// never replaced: the content is written into it as it is.
//
// A path naming one of the process's open descriptors (/dev/stdout,
// /dev/stderr, /dev/fd/N, /proc/self/fd/N, /proc/<own pid>/fd/N, or a link
// to one) is written into that descriptor at its current position, after
// what is already there when it was opened for appending, like `-` for
// standard output: never replaced, so `>>` and a redirected group of
// commands keep what others wrote. Such a descriptor that is not open, or
// not open for writing, fails with EBADF.
//
// A process killed between linking the finished file under a temporary name
// (".NAME.barquill-NAMESPACE-PID-N.tmp") and renaming it over an existing target
// leaves that name behind; the first write of any later process into the
// same folder removes it, once no process of that pid runs.
ReplaceFailure ReplaceFile(const char* path, const std::function<bool(std::FILE*)>& write,
                           const ReplaceOptions& options);

inline ReplaceFailure ReplaceFile(const char* path, const std::function<bool(std::FILE*)>& write,
                                  bool sync) {
    return ReplaceFile(path, write, ReplaceOptions{sync, true});
}

// As ReplaceFile, for a name given relative to an open folder (`folder`, a
// descriptor the caller keeps) that it may never leave, whatever the folder
// holds: for names that come from data, such as the lines of a batch list.
// The name is refused with Escapes when it is absolute, has a ".." part, or
// meets a symbolic link on the way, its own last part included: a link is
// refused even where it would stay inside, one rule on every kernel that
// needs no link to be read. A device or FIFO under the name is written into,
// a folder is an error (EISDIR), and a missing folder on the way is ENOENT.
ReplaceFailure ReplaceFileBeneath(int folder, const char* relativeName,
                                  const std::function<bool(std::FILE*)>& write,
                                  const ReplaceOptions& options);

// Files replaced together, as the files of a series: all of them or none.
// Every target is looked at before anything is written (Check); each new
// content is then written complete under a temporary name beside its target
// (Write), and only when all are complete do they take their names (Commit).
// Until Commit succeeds every target keeps its old content: on any failure,
// and on the destruction of a group not committed, the targets already named
// get their old files back and every temporary file is removed.
//
// Under InstallTerminationGuard a termination signal that arrives while a
// group lives makes its next step fail (EINTR); the process ends once the
// group is destroyed, so an interrupted series leaves the old one as it was
// and no temporary file. Without the guard a killed process may leave
// temporary files, which a later write into their folder removes.
//
// Targets are taken as ReplaceFile takes them, or as ReplaceFileBeneath takes
// them when the group is given a folder. A device, FIFO or open descriptor
// cannot give back what it took: it is written into in Write. Where the file
// system cannot swap two names (RENAME_EXCHANGE), a replaced file is renamed
// over and cannot come back.
class ReplaceGroup {
public:
    // `folder`: a descriptor, kept open by the caller, that the names are
    // given beneath; -1 for paths.
    explicit ReplaceGroup(const ReplaceOptions& options, int folder = -1);
    ~ReplaceGroup();
    ReplaceGroup(const ReplaceGroup&) = delete;
    ReplaceGroup& operator=(const ReplaceGroup&) = delete;

    // Looks at the next target and changes nothing: a folder, a read-only
    // file, a missing or unwritable folder and a name that leaves its folder
    // fail here, as ReplaceFile would fail on them.
    ReplaceFailure Check(const char* path);
    // Writes the content of the index-th checked target beside it.
    ReplaceFailure Write(std::size_t index, const std::function<bool(std::FILE*)>& write);
    // Gives every written file its target's name.
    ReplaceFailure Commit();
    // After a failed Commit: the index of the target that failed.
    std::size_t FailedTarget() const { return failed_; }

    struct Target;

private:
    int OpenFolder(const Target& target, bool* escapes) const;
    void TakeBack();

    ReplaceOptions options_;
    int beneath_;
    bool naming_ = false;
    bool committed_ = false;
    std::size_t failed_ = 0;
    std::vector<Target> targets_;
};

// Makes SIGINT, SIGTERM and SIGHUP end the process at once, as by default,
// except while ReplaceFile gives a finished file its name: then they end it
// right after, so an interrupted program leaves no temporary file behind.
// Signals the program ignores stay ignored. For programs, not libraries:
// call it once at start-up.
void InstallTerminationGuard();

}  // namespace barquill::image
