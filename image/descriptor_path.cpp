// SPDX-License-Identifier: MIT
#include "image/descriptor_path.h"

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <string_view>

namespace barquill::image {

namespace {

// As the kernel allows when it follows links itself.
constexpr int kMaxLinks = 40;
// Descriptor numbers stay far below this many digits.
constexpr std::size_t kMaxDescriptorDigits = 9;

std::string realFolder(const std::string& folder) {
    std::string result;
    if (char* real = realpath(folder.empty() ? "." : folder.c_str(), nullptr)) {
        result = real;
        std::free(real);
    }
    return result;
}

bool isNumber(std::string_view text, std::size_t maxDigits) {
    if (text.empty() || text.size() > maxDigits) return false;
    for (const char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

// The process's descriptor folder as /proc shows it, /proc/<pid>/fd, or a
// thread's, /proc/<pid>/task/<tid>/fd; the pid as /proc/self tells it, which
// is right even where /proc belongs to another pid namespace. Asked each time,
// since a forked child has a pid of its own.
bool isOwnDescriptorFolder(const std::string& folder) {
    const std::string self = realFolder("/proc/self");
    if (self.empty() || !folder.starts_with(self + "/")) return false;
    const std::string_view rest = std::string_view(folder).substr(self.size());
    if (rest == "/fd") return true;
    constexpr std::string_view task = "/task/";
    if (!rest.starts_with(task) || !rest.ends_with("/fd")) return false;
    const std::string_view thread = rest.substr(task.size(), rest.size() - task.size() - 3);
    return isNumber(thread, 10);
}

}  // namespace

// Follows the chain of links to its end, looking at each step whether the
// folder holding the name is the descriptor folder: its entries are links
// too, but following one would only reopen the file.
int DescriptorNamedBy(const char* path) {
    std::string current = path;
    for (int links = 0; links <= kMaxLinks; ++links) {
        const std::size_t slash = current.rfind('/');
        const std::string folder =
            slash == std::string::npos ? std::string() : current.substr(0, slash + 1);
        const std::string name = current.substr(folder.size());
        if (isNumber(name, kMaxDescriptorDigits) && isOwnDescriptorFolder(realFolder(folder)))
            return std::atoi(name.c_str());
        struct stat status;
        if (lstat(current.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return -1;
        char link[PATH_MAX];
        const ssize_t length = readlink(current.c_str(), link, sizeof link - 1);
        if (length <= 0) return -1;
        const std::string next(link, static_cast<std::size_t>(length));
        current = next.starts_with('/') ? next : folder + next;
    }
    return -1;
}

}  // namespace barquill::image
