// SPDX-License-Identifier: MIT
// Shared fixtures of the file-replacing tests: a scratch folder removed
// afterwards, and work run in a forked child whose outcome comes back
// through a pipe, for what must not touch the test process itself (a file
// size limit, another user's identity, a kill half-way).
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstdio>
#include <functional>
#include <set>
#include <string>

#include "image/replace_file.h"

namespace replace_test {

using barquill::image::ReplaceFailure;

class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string path(const std::string& name) const { return folder_ + "/" + name; }
    const std::string& path() const { return folder_; }
    // Every name in the folder, hidden ones included.
    std::set<std::string> names(const std::string& subfolder = "") const;

private:
    std::string folder_;
};

std::string readText(const std::string& path);
void writeText(const std::string& path, const std::string& text);
struct stat statOf(const std::string& path);

// A write function that puts `text` into the stream and reports success
// only when the stream took it.
std::function<bool(std::FILE*)> writing(const std::string& text);

struct Outcome {
    ReplaceFailure failure = ReplaceFailure::None;
    int error = 0;  // errno after the failure
    friend bool operator==(const Outcome&, const Outcome&) = default;
};

// The outcome of `work` run in a forked child; a child that died instead
// reports Create with errno -1.
Outcome inChild(const std::function<Outcome()>& work);

// Runs the rest of the child as the unprivileged user and group 65534.
bool becomeNobody();
constexpr uid_t kNobody = 65534;

}  // namespace replace_test
