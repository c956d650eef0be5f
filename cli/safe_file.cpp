#include "cli/safe_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace barquill::cli {

namespace {

// umask can only be read by setting it, which is not thread-safe; read it
// once, before any worker thread writes.
mode_t newFileMode() {
    static const mode_t mode = [] {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        return static_cast<mode_t>(0666 & ~mask);
    }();
    return mode;
}

// Replacing through a symbolic link replaces the file it points to.
std::string resolveLink(const std::string& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) == 0 && S_ISLNK(status.st_mode)) {
        if (char* real = ::realpath(path.c_str(), nullptr)) {
            std::string resolved(real);
            std::free(real);
            return resolved;
        }
    }
    return path;
}

bool writeAll(int fd, std::string_view bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            if (written == 0) errno = EIO;
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

}  // namespace

bool replaceFile(const std::string& path, std::string_view bytes, std::string* error) {
    const std::string target = resolveLink(path);
    std::string temporary = target + ".XXXXXX";
    const mode_t mode = newFileMode();
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        *error = std::strerror(errno);
        return false;
    }
    struct stat existing {};
    const bool replacing = ::stat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode);
    bool ok = ::fchmod(fd, replacing ? existing.st_mode & 07777 : mode) == 0 && writeAll(fd, bytes);
    if (::close(fd) != 0) ok = false;
    if (ok && ::rename(temporary.c_str(), target.c_str()) != 0) ok = false;
    if (!ok) {
        *error = std::strerror(errno);
        ::unlink(temporary.c_str());
    }
    return ok;
}

}  // namespace barquill::cli
