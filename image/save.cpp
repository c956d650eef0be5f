// Picture::Save. The file is written under a temporary name in the target's
// folder and renamed over the target only once it is complete, flushed and
// closed, so a failed save leaves an existing file exactly as it was and
// creates nothing.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "image/picture.h"

namespace {

// Room for the suffix below within the usual 255-byte file name limit.
constexpr std::size_t kMaxTemporaryStem = 200;

// Saving over a symbolic link replaces the file it points to, not the link.
std::string resolveTarget(const char* filename) {
  struct stat status;
  if (lstat(filename, &status) == 0 && S_ISLNK(status.st_mode)) {
    if (char* real = realpath(filename, nullptr)) {
      std::string resolved(real);
      std::free(real);
      return resolved;
    }
  }
  return filename;
}

// Creates a new file beside `target`; mode 0666 lets the umask decide, as
// for any file the user creates.
int createTemporary(const std::string& target, std::string& path) {
  static std::atomic<unsigned> counter{0};
  const std::size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  for (int attempt = 0; attempt < 100; ++attempt) {
    path = folder + "." + name.substr(0, kMaxTemporaryStem) + "." + std::to_string(getpid()) + "." +
           std::to_string(counter++) + ".tmp";
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

}  // namespace

bool Picture::Save(const char* filename, std::uint32_t type) {
  if (filename == nullptr || *filename == '\0') {
    errno = ENOENT;
    return false;
  }
  try {
    const std::string target = resolveTarget(filename);
    std::string temporary;
    const int fd = createTemporary(target, temporary);
    if (fd < 0) return false;

    // A replaced file keeps its permissions.
    struct stat existing;
    if (stat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
      fchmod(fd, existing.st_mode & 07777);
    }

    const char* failure = nullptr;
    bool ok = false;
    std::FILE* stream = fdopen(fd, "wb");
    if (stream == nullptr) {
      close(fd);
    } else {
      ok = Encode(stream, type);
      if (ok && (std::fflush(stream) != 0 || fsync(fileno(stream)) != 0)) {
        failure = "Save: can't write the file";
      }
      if (std::fclose(stream) != 0 && ok && failure == nullptr) failure = "Save: can't write the file";
      if (ok && failure == nullptr && std::rename(temporary.c_str(), target.c_str()) != 0) {
        failure = "Save: can't replace the file";
      }
    }
    if (ok && failure == nullptr) return true;

    const int error = errno;
    unlink(temporary.c_str());
    errno = error;
    if (failure != nullptr) SetLastError(failure);
    return false;
  } catch (...) {
    return false;
  }
}
