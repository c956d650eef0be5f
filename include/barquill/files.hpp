// SPDX-License-Identifier: MIT
#pragma once
// Writing files: an existing file is replaced only by a complete new one,
// and a series is written whole or not at all.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "barquill/errors.hpp"
#include "barquill/export.h"
#include "barquill/render.hpp"
#include "barquill/symbol.hpp"

namespace barquill {

struct WriteOptions {
    std::optional<Format> format{};  // unset: each file name's extension decides
    // A file the user may not write (mode 0444) is refused (readOnly)
    // unless this is set, as cp refuses it without -f.
    bool replaceReadOnly = false;
    // The content reaches the disk before it takes the name. Off by
    // default, as in common Unix tools: a sync costs more than a symbol.
    bool sync = false;
    // Set: the path is a name inside this folder ("" the working folder)
    // that may not leave it: an absolute name, a ".." part or a symbolic
    // link on the way or at the end is refused (outsideFolder), as for
    // names that come from a list rather than from the user.
    std::optional<std::string> beneath{};
};

// Writes the file. A symbolic link, dangling or not, is followed and keeps
// pointing at the file it names; a device, FIFO or terminal, or a path that
// names a descriptor already open (/dev/stdout, /dev/fd/N), is written into
// as it is, never replaced. A replaced file keeps its owner and group where
// the writer may set them, never a set-user-ID, set-group-ID or sticky bit.
// The format is the options' or the name's. The file is verified first, as
// renderVerified makes it (verify.hpp); one that fails is not written.
// Without options, as with WriteOptions{}: a read-only file is refused.
BARQUILL_API Result<Format> save(const Symbol& symbol, const std::string& path,
                                 const Render& render = {});
BARQUILL_API Result<Format> save(const Symbol& symbol, const std::string& path,
                                 const Render& render, const WriteOptions& options);

// A file name with one printf-style counter: %d, %5d or %05d; %% stands for
// a percent sign.
class BARQUILL_API NamePattern {
public:
    // invalidOption (field "pattern") unless it holds exactly one counter.
    static Result<NamePattern> parse(std::string_view pattern);
    std::string nameFor(long long counter) const;
    // The folder part ("labels/" of "labels/%05d.png"; empty for the
    // working folder).
    std::string folder() const;

private:
    std::string before_, after_;
    int width_ = 0;
    bool zeroPadded_ = false;
};

// The file name of symbol `index` (0-based) of a series of `count`: the
// name's counter (%d) when it has one, else "-01" (as many digits as the
// count needs, at least two) before the extension.
BARQUILL_API std::string seriesFileName(std::string_view path, int index, int count);

// The file names of a series of `count` symbols, in order: the path itself
// for one symbol, else each symbol's seriesFileName.
BARQUILL_API std::vector<std::string> seriesFileNames(std::string_view path, int count);

// A name given inside a folder (as WriteOptions::beneath takes it) that
// leads out of it by its text alone: an absolute name or one with a ".."
// part is refused with outsideFolder, `path` the name and `given` what
// leads out ("/" or ".."). A symbolic link on the way is found only when
// the file is written, with the same code and an empty `given`.
BARQUILL_API std::optional<Error> checkNameBeneath(std::string_view name);

// Writes every symbol to its name in seriesFileNames, each verified first
// as save verifies it. A series is written
// whole or not at all: every target is looked at before the first file is
// written (a folder or a read-only file in the way is refused then), each
// file is written complete under a temporary name beside its target, and
// the files take their names only once all are complete. When one cannot
// be written, or installTerminationGuard's signal arrives meanwhile, every
// target keeps its old content, every temporary file is removed, and the
// error names the file (`symbol` its index). A path naming an open
// descriptor (/dev/stdout) takes one symbol only: a series to it is
// refused (conflictingOptions, field "path", other "split").
BARQUILL_API Result<std::vector<std::string>> saveAll(std::span<const Symbol> symbols,
                                                      const std::string& path, const Render& render,
                                                      const WriteOptions& options = {});

// Makes SIGINT, SIGTERM and SIGHUP end the process at once, as by default,
// except while a finished file takes its name or a series is being written:
// then they end it right after, once the file has its name or the series is
// taken back, so an interrupted program leaves no temporary file behind and
// no part of a series. For programs, not libraries: call it once at
// start-up.
BARQUILL_API void installTerminationGuard();

}  // namespace barquill
