// SPDX-License-Identifier: MIT
// Writing symbols to files through the image library's safe replace, and
// naming the files of a series.

#include "barquill/files.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <functional>
#include <string>

#include "image/descriptor_path.h"
#include "image/folder_beneath.h"
#include "image/replace_file.h"
#include "lib/internal.h"
#include "lib/written_check.h"

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

// The error for a failed replace, with the system's reason (errno).
Error replaceError(image::ReplaceFailure failure, const std::string& shown, int systemError) {
    switch (failure) {
        case image::ReplaceFailure::ReadOnly:
            return writeError(ErrorCode::readOnly, shown, EACCES);
        case image::ReplaceFailure::Escapes:
            return writeError(ErrorCode::outsideFolder, shown, systemError);
        default:
            return writeError(ErrorCode::writeFailed, shown, systemError != 0 ? systemError : EIO);
    }
}

std::function<bool(std::FILE*)> writing(const Bytes& bytes) {
    return [&bytes](std::FILE* stream) {
        return std::fwrite(bytes.data(), 1, bytes.size(), stream) == bytes.size();
    };
}

image::ReplaceOptions replaceOptions(const WriteOptions& options) {
    return image::ReplaceOptions{options.sync, options.replaceReadOnly};
}

std::optional<Error> writeBytes(const Bytes& bytes, const std::string& path,
                                const WriteOptions& options) {
    errno = 0;
    image::ReplaceFailure failure = image::ReplaceFailure::None;
    if (options.beneath) {
        const Folder folder(*options.beneath);
        if (folder.fd() < 0) return writeError(ErrorCode::writeFailed, *options.beneath, errno);
        failure = image::ReplaceFileBeneath(folder.fd(), path.c_str(), writing(bytes),
                                            replaceOptions(options));
    } else {
        failure = image::ReplaceFile(path.c_str(), writing(bytes), replaceOptions(options));
    }
    if (failure == image::ReplaceFailure::None) return std::nullopt;
    return replaceError(failure, fullPath(path, options), errno);
}

// A descriptor is one stream, not several files: a series written to
// /dev/stdout would make files named /dev/stdout-01, ... instead.
std::optional<Error> checkSeriesPath(const std::string& path,
                                     const std::vector<std::string>& names) {
    bool descriptor = image::DescriptorNamedBy(path.c_str()) >= 0;
    for (const std::string& name : names)
        descriptor = descriptor || image::DescriptorNamedBy(name.c_str()) >= 0;
    if (!descriptor) return std::nullopt;
    Error error;
    error.code = ErrorCode::conflictingOptions;
    error.field = "path";
    error.other = "split";
    error.given = path;
    error.message = "a series writes several files; " + path +
                    " names an open descriptor, which takes one symbol";
    return error;
}

// Writes a series whole or not at all, each file under a temporary name
// until every one is complete.
Result<std::vector<std::string>> writeSeries(std::span<const Symbol> symbols,
                                             const std::vector<std::string>& names,
                                             const Render& render, const WriteOptions& options,
                                             FileMaker make) {
    std::optional<Folder> folder;
    if (options.beneath) {
        folder.emplace(*options.beneath);
        if (folder->fd() < 0) return writeError(ErrorCode::writeFailed, *options.beneath, errno);
    }
    image::ReplaceGroup group(replaceOptions(options), folder ? folder->fd() : -1);
    const auto failed = [&](image::ReplaceFailure failure, std::size_t index) {
        Error error = replaceError(failure, fullPath(names[index], options), errno);
        error.symbol = static_cast<int>(index);
        return error;
    };
    errno = 0;
    for (std::size_t i = 0; i < names.size(); ++i)
        if (const auto failure = group.Check(names[i].c_str());
            failure != image::ReplaceFailure::None)
            return failed(failure, i);
    for (std::size_t i = 0; i < names.size(); ++i) {
        const Format format = options.format.value_or(formatFromName(names[i]));
        auto bytes = make(symbols[i], format, render);
        if (!bytes) {
            Error error = bytes.error();
            error.symbol = static_cast<int>(i);
            return error;
        }
        errno = 0;
        if (const auto failure = group.Write(i, writing(*bytes));
            failure != image::ReplaceFailure::None)
            return failed(failure, i);
    }
    errno = 0;
    if (const auto failure = group.Commit(); failure != image::ReplaceFailure::None)
        return failed(failure, group.FailedTarget());
    return names;
}

}  // namespace

Result<Format> save(const Symbol& symbol, const std::string& path, const Render& render) {
    return save(symbol, path, render, WriteOptions{});
}

Result<Format> save(const Symbol& symbol, const std::string& path, const Render& render,
                    const WriteOptions& options) {
    if (auto error = checkPath(path)) return *error;
    const Format format = options.format.value_or(formatFromName(path));
    auto bytes = verifiedFile(symbol, format, render);
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

std::vector<std::string> seriesFileNames(std::string_view path, int count) {
    if (count == 1) return {std::string(path)};
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) names.push_back(seriesFileName(path, i, count));
    return names;
}

std::optional<Error> checkNameBeneath(std::string_view name) {
    const std::string text(name);
    if (!image::LeavesFolderByName(text)) return std::nullopt;
    Error error;
    error.code = ErrorCode::outsideFolder;
    error.path = text;
    error.given = text.starts_with('/') ? "/" : "..";
    finishMessage(error);
    return error;
}

Result<std::vector<std::string>> saveAll(std::span<const Symbol> symbols, const std::string& path,
                                         const Render& render, const WriteOptions& options) {
    return saveSymbols(symbols, path, render, options, &verifiedFile);
}

Result<std::vector<std::string>> saveSymbols(std::span<const Symbol> symbols,
                                             const std::string& path, const Render& render,
                                             const WriteOptions& options, FileMaker make) {
    if (auto error = checkPath(path)) return *error;
    const int count = static_cast<int>(symbols.size());
    if (count == 0) return std::vector<std::string>{};
    const std::vector<std::string> names = seriesFileNames(path, count);
    if (count > 1) {
        if (auto error = checkSeriesPath(path, names)) return *error;
        return writeSeries(symbols, names, render, options, make);
    }
    const Format format = options.format.value_or(formatFromName(path));
    auto bytes = make(symbols.front(), format, render);
    if (!bytes) return bytes.error();
    if (auto error = writeBytes(*bytes, path, options)) return *error;
    return names;
}

void installTerminationGuard() {
    image::InstallTerminationGuard();
}

}  // namespace barquill
