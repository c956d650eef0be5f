// SPDX-License-Identifier: MIT
#include "replace_fixtures.h"

#include <grp.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace replace_test {

ScratchFolder::ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "barquill-replace-XXXXXX");
    if (mkdtemp(pattern.data()) != nullptr) folder_ = pattern;
}

ScratchFolder::~ScratchFolder() {
    if (!folder_.empty()) std::filesystem::remove_all(folder_);
}

std::set<std::string> ScratchFolder::names(const std::string& subfolder) const {
    std::set<std::string> result;
    for (const auto& entry : std::filesystem::directory_iterator(path(subfolder)))
        result.insert(entry.path().filename().string());
    return result;
}

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

struct stat statOf(const std::string& path) {
    struct stat status {};
    lstat(path.c_str(), &status);
    return status;
}

std::function<bool(std::FILE*)> writing(const std::string& text) {
    return [text](std::FILE* stream) {
        return std::fwrite(text.data(), 1, text.size(), stream) == text.size();
    };
}

Outcome inChild(const std::function<Outcome()>& work) {
    int channel[2];
    if (pipe(channel) != 0) return {ReplaceFailure::Create, -1};
    // Nothing the test printed may be written again by the child.
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t pid = fork();
    if (pid == 0) {
        close(channel[0]);
        const Outcome outcome = work();
        const ssize_t sent = write(channel[1], &outcome, sizeof outcome);
        _exit(sent == sizeof outcome ? 0 : 1);
    }
    close(channel[1]);
    Outcome outcome{ReplaceFailure::Create, -1};
    if (pid > 0 && read(channel[0], &outcome, sizeof outcome) != sizeof outcome)
        outcome = {ReplaceFailure::Create, -1};
    close(channel[0]);
    int status = 0;
    if (pid > 0) waitpid(pid, &status, 0);
    return outcome;
}

bool becomeNobody() {
    return setgroups(0, nullptr) == 0 && setgid(kNobody) == 0 && setuid(kNobody) == 0;
}

}  // namespace replace_test
