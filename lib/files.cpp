// SPDX-License-Identifier: MIT
// Writing symbols to files through the image library's safe replace, and
// naming the files of a series.

#include "barquill/files.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "image/replace_file.h"
#include "lib/internal.h"

namespace barquill {

namespace {

Error writeError(ErrorCode code, const std::string& path, int systemError) {
    Error error;
    error.code = code;
    error.path = path;
    error.value = systemError;
    finishMessage(error);
    return error;
}

std::optional<Error> checkPath(const std::string& path) {
    // The system would read the name only up to the NUL and write another file.
    if (path.find('\0') == std::string::npos && !path.empty()) return std::nullopt;
    Error error;
    error.code = ErrorCode::invalidOption;
    error.field = "path";
    error.given = path.empty() ? std::string("(empty)") : std::string("a name holding a NUL byte");
    finishMessage(error);
    return error;
}

// The path as people know it: a name beneath a folder with the folder.
std::string fullPath(const std::string& path, const WriteOptions& options) {
    if (!options.beneath || options.beneath->empty()) return path;
    const std::string& folder = *options.beneath;
    return folder.back() == '/' ? folder + path : folder + "/" + path;
}

// A folder's descriptor for names beneath it, closed with the object.
class Folder {
public:
    explicit Folder(const std::string& path)
        : fd_(::open(path.empty() ? "." : path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC)) {}
    ~Folder() {
        if (fd_ >= 0) ::close(fd_);
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    int fd() const { return fd_; }

private:
    int fd_;
};

std::optional<Error> writeBytes(const Bytes& bytes, const std::string& path,
                                const WriteOptions& options) {
    const auto write = [&](std::FILE* stream) {
        return std::fwrite(bytes.data(), 1, bytes.size(), stream) == bytes.size();
    };
    const image::ReplaceOptions replace{options.sync, options.replaceReadOnly};
    errno = 0;
    image::ReplaceFailure failure = image::ReplaceFailure::None;
    if (options.beneath) {
        const Folder folder(*options.beneath);
        if (folder.fd() < 0) return writeError(ErrorCode::writeFailed, *options.beneath, errno);
        failure = image::ReplaceFileBeneath(folder.fd(), path.c_str(), write, replace);
    } else {
        failure = image::ReplaceFile(path.c_str(), write, replace);
    }
    const int systemError = errno;
    const std::string shown = fullPath(path, options);
    switch (failure) {
        case image::ReplaceFailure::None:
            return std::nullopt;
        case image::ReplaceFailure::ReadOnly:
            return writeError(ErrorCode::readOnly, shown, EACCES);
        case image::ReplaceFailure::Escapes:
            return writeError(ErrorCode::outsideFolder, shown, systemError);
        default:
            return writeError(ErrorCode::writeFailed, shown, systemError != 0 ? systemError : EIO);
    }
}

bool exists(const std::string& path, const WriteOptions& options) {
    struct stat status {};
    return ::lstat(fullPath(path, options).c_str(), &status) == 0;
}

void remove(const std::string& path, const WriteOptions& options) {
    ::unlink(fullPath(path, options).c_str());
}

}  // namespace

Result<Format> save(const Symbol& symbol, const std::string& path, const Render& render) {
    return save(symbol, path, render, WriteOptions{});
}

Result<Format> save(const Symbol& symbol, const std::string& path, const Render& render,
                    const WriteOptions& options) {
    if (auto error = checkPath(path)) return *error;
    const Format format = options.format.value_or(formatFromName(path));
    auto bytes = barquill::render(symbol, format, render);
    if (!bytes) return bytes.error();
    if (auto error = writeBytes(*bytes, path, options)) return *error;
    return format;
}

Result<NamePattern> NamePattern::parse(std::string_view pattern) {
    NamePattern result;
    int counters = 0;
    std::string* part = &result.before_;
    const auto refuse = [&pattern](long found) {
        Error error;
        error.code = ErrorCode::invalidOption;
        error.field = "pattern";
        error.given = std::string(pattern);
        error.value = found;
        error.minimum = error.maximum = 1;
        error.message = "the name \"" + error.given +
                        "\" needs exactly one counter (%d, %5d or %05d; %% for a percent sign)";
        return error;
    };
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') {
            *part += pattern[i];
            continue;
        }
        std::size_t j = i + 1;
        if (j < pattern.size() && pattern[j] == '%') {
            *part += '%';
            i = j;
            continue;
        }
        bool zero = false;
        if (j < pattern.size() && pattern[j] == '0') {
            zero = true;
            ++j;
        }
        int width = 0;
        while (j < pattern.size() && pattern[j] >= '0' && pattern[j] <= '9' && width < 100)
            width = width * 10 + (pattern[j++] - '0');
        if (j >= pattern.size() || pattern[j] != 'd' || width > 20) return refuse(-1);
        result.zeroPadded_ = zero;
        result.width_ = width;
        part = &result.after_;
        ++counters;
        i = j;
    }
    if (counters != 1) return refuse(counters);
    return result;
}

std::string NamePattern::nameFor(long long counter) const {
    std::string digits = std::to_string(counter < 0 ? -counter : counter);
    const std::size_t width = static_cast<std::size_t>(width_);
    const std::size_t sign = counter < 0 ? 1 : 0;
    if (zeroPadded_ && digits.size() + sign < width)
        digits.insert(0, width - digits.size() - sign, '0');
    if (sign) digits.insert(0, 1, '-');
    if (digits.size() < width) digits.insert(0, width - digits.size(), ' ');
    return before_ + digits + after_;
}

std::string NamePattern::folder() const {
    const std::size_t slash = before_.rfind('/');
    return slash == std::string::npos ? std::string() : before_.substr(0, slash + 1);
}

std::string seriesFileName(std::string_view path, int index, int count) {
    const std::string output(path);
    if (output.find('%') != std::string::npos)
        if (auto pattern = NamePattern::parse(output)) return pattern->nameFor(index + 1);
    const std::size_t digits = std::max<std::size_t>(2, std::to_string(count).size());
    const std::string counter = std::to_string(index + 1);
    std::string number(1, '-');
    number.append(digits - std::min(digits, counter.size()), '0');
    number += counter;
    const std::size_t slash = output.find_last_of('/');
    const std::size_t dot = output.find_last_of('.');
    const bool hasExtension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
    return hasExtension ? output.substr(0, dot) + number + output.substr(dot) : output + number;
}

Result<std::vector<std::string>> saveAll(std::span<const Symbol> symbols, const std::string& path,
                                         const Render& render, const WriteOptions& options) {
    if (auto error = checkPath(path)) return *error;
    const int count = static_cast<int>(symbols.size());
    std::vector<std::string> names;
    std::vector<Bytes> files;
    // Every file is drawn before the first is written: a series is written
    // whole or not at all.
    for (int i = 0; i < count; ++i) {
        names.push_back(count == 1 ? path : seriesFileName(path, i, count));
        const Format format = options.format.value_or(formatFromName(names.back()));
        auto bytes = barquill::render(symbols[static_cast<std::size_t>(i)], format, render);
        if (!bytes) {
            Error error = bytes.error();
            error.symbol = count > 1 ? i : -1;
            return error;
        }
        files.push_back(std::move(bytes).value());
    }
    std::vector<std::string> created;
    for (std::size_t i = 0; i < files.size(); ++i) {
        // Only a series removes what it made; one file needs no look first.
        const bool existed = count == 1 || exists(names[i], options);
        if (auto error = writeBytes(files[i], names[i], options)) {
            // The files this call made go again; a replaced one cannot come back.
            for (const std::string& name : created) remove(name, options);
            error->symbol = count > 1 ? static_cast<int>(i) : -1;
            return *error;
        }
        if (!existed) created.push_back(names[i]);
    }
    return names;
}

void installTerminationGuard() {
    image::InstallTerminationGuard();
}

}  // namespace barquill
