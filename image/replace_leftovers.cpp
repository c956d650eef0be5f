// SPDX-License-Identifier: MIT
#include "image/replace_leftovers.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <limits>
#include <mutex>
#include <set>
#include <tuple>

namespace barquill::image {

void (*betweenLinkAndRename)() = nullptr;

namespace {

// Room for the marker and three numbers within the usual 255-byte limit.
constexpr std::size_t kMaxTemporaryStem = 180;
constexpr std::string_view kMarker = ".barquill-";
constexpr std::string_view kSuffix = ".tmp";

// The pid namespace's inode number, so that processes of another container
// sharing the folder, whose pids mean nothing here, are never taken for gone.
unsigned long pidNamespace() {
    char link[64];
    const ssize_t length = readlink("/proc/self/ns/pid", link, sizeof link);
    unsigned long number = 0;
    if (length > 0) {
        const std::string_view text(link, static_cast<std::size_t>(length));
        const std::size_t open = text.find('[');
        if (open != std::string_view::npos)
            std::from_chars(text.data() + open + 1, text.data() + text.size(), number);
    }
    return number;
}

struct Owner {
    unsigned long pidNamespace = 0;
    long pid = 0;
};

// Reads "<number>-" or, for the last, "<number>" followed by the suffix.
bool readNumber(std::string_view& text, char end, unsigned long* number) {
    const auto [next, error] = std::from_chars(text.data(), text.data() + text.size(), *number);
    if (error != std::errc() || next == text.data()) return false;
    text.remove_prefix(static_cast<std::size_t>(next - text.data()));
    if (end == '\0') return true;
    if (text.empty() || text.front() != end) return false;
    text.remove_prefix(1);
    return true;
}

bool parseTemporaryName(std::string_view name, Owner* owner) {
    if (!name.starts_with('.') || !name.ends_with(kSuffix)) return false;
    name.remove_suffix(kSuffix.size());
    const std::size_t marker = name.rfind(kMarker);
    if (marker == std::string_view::npos || marker == 0) return false;
    std::string_view numbers = name.substr(marker + kMarker.size());
    unsigned long pid = 0, counter = 0;
    if (!readNumber(numbers, '-', &owner->pidNamespace) || !readNumber(numbers, '-', &pid) ||
        !readNumber(numbers, '\0', &counter) || !numbers.empty())
        return false;
    if (pid == 0 || pid > static_cast<unsigned long>(std::numeric_limits<pid_t>::max()))
        return false;
    owner->pid = static_cast<long>(pid);
    return true;
}

bool isGone(long pid) {
    return pid != getpid() && kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

// A folder's identity; its birth time tells a new folder from a removed
// one whose inode number it reuses.
using FolderKey = std::tuple<dev_t, ino_t, long long, unsigned>;

bool firstVisit(int folder) {
    struct statx status {};
    if (statx(folder, "", AT_EMPTY_PATH, STATX_INO | STATX_BTIME, &status) != 0) return true;
    const FolderKey key{makedev(status.stx_dev_major, status.stx_dev_minor), status.stx_ino,
                        status.stx_btime.tv_sec, status.stx_btime.tv_nsec};
    static std::mutex mutex;
    static std::set<FolderKey> visited;
    std::lock_guard lock(mutex);
    return visited.insert(key).second;
}

}  // namespace

std::string TemporaryName(std::string_view target) {
    static std::atomic<unsigned long> counter{0};
    std::string name = ".";
    name.append(target.substr(0, kMaxTemporaryStem));
    name.append(kMarker);
    name.append(std::to_string(pidNamespace()));
    name += '-';
    name.append(std::to_string(getpid()));
    name += '-';
    name.append(std::to_string(counter++));
    name.append(kSuffix);
    return name;
}

void SweepLeftoversOnce(int folder) {
    if (!firstVisit(folder)) return;
    const int listing = openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing < 0) return;
    DIR* entries = fdopendir(listing);
    if (entries == nullptr) {
        close(listing);
        return;
    }
    const unsigned long ownNamespace = pidNamespace();
    while (const dirent* entry = readdir(entries)) {
        Owner owner;
        if (!parseTemporaryName(entry->d_name, &owner) || owner.pidNamespace != ownNamespace ||
            !isGone(owner.pid))
            continue;
        struct stat status;
        if (fstatat(folder, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(status.st_mode))
            unlinkat(folder, entry->d_name, 0);
    }
    closedir(entries);
}

}  // namespace barquill::image
