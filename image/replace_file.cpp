#include "image/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <string>

namespace barquill::image {

namespace {

// Room for the suffix below within the usual 255-byte file name limit.
constexpr std::size_t kMaxTemporaryStem = 200;

// Replacing through a symbolic link replaces the file it points to.
std::string resolveTarget(const char* path) {
    struct stat status;
    if (lstat(path, &status) == 0 && S_ISLNK(status.st_mode)) {
        if (char* real = realpath(path, nullptr)) {
            std::string resolved(real);
            std::free(real);
            return resolved;
        }
    }
    return path;
}

// A new file beside `target`, hidden by its leading dot; mode 0666 lets the
// umask decide, as for any file the user creates.
int createTemporary(const std::string& target, std::string& path) {
    static std::atomic<unsigned> counter{0};
    const std::size_t slash = target.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = folder + "." + name.substr(0, kMaxTemporaryStem) + "." + std::to_string(getpid()) +
               "." + std::to_string(counter++) + ".tmp";
        const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

}  // namespace

ReplaceFailure ReplaceFile(const char* path, const std::function<bool(std::FILE*)>& write,
                           bool sync) {
    if (path == nullptr || *path == '\0') {
        errno = ENOENT;
        return ReplaceFailure::Create;
    }
    const std::string target = resolveTarget(path);
    std::string temporary;
    const int fd = createTemporary(target, temporary);
    if (fd < 0) return ReplaceFailure::Create;

    struct stat existing;
    if (stat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
        fchmod(fd, existing.st_mode & 07777);
    }

    ReplaceFailure failure = ReplaceFailure::None;
    std::FILE* stream = fdopen(fd, "wb");
    if (stream == nullptr) {
        close(fd);
        failure = ReplaceFailure::Write;
    } else {
        if (!write(stream)) {
            failure = ReplaceFailure::Content;
        } else if (std::fflush(stream) != 0 || (sync && fsync(fileno(stream)) != 0)) {
            failure = ReplaceFailure::Write;
        }
        if (std::fclose(stream) != 0 && failure == ReplaceFailure::None)
            failure = ReplaceFailure::Write;
    }
    if (failure == ReplaceFailure::None && std::rename(temporary.c_str(), target.c_str()) != 0) {
        failure = ReplaceFailure::Rename;
    }
    if (failure != ReplaceFailure::None) {
        const int error = errno;
        unlink(temporary.c_str());
        errno = error;
    }
    return failure;
}

}  // namespace barquill::image
