// SPDX-License-Identifier: MIT
#pragma once
// The built tool run as scripts run it, in a fresh folder of its own, with
// its output files decoded back to pixels.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "tests/cli/image_files.h"
#include "tests/cli/process.h"
#include "tests/support/pdf417_reader.h"

namespace barquill::testing {

class CommandLine : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/barquill-cli-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        directory_ = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(directory_); }

    ProcessResult run(const std::vector<std::string>& args, const std::string& input = "",
                      long maxFileBytes = 0) {
        return runProcess(BARQUILL_EXECUTABLE, args, input, directory_, maxFileBytes);
    }
    std::string path(const std::string& name) const { return directory_ + "/" + name; }
    std::string file(const std::string& name) const { return readFile(path(name)); }
    void write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path(name), std::ios::binary) << bytes;
    }
    bool exists(const std::string& name) const { return std::filesystem::exists(path(name)); }
    std::vector<std::string> listing() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(directory_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    // Decodes an output file of any of the four formats into grey pixels.
    std::optional<DecodedImage> decode(const std::string& name, int svgDpi = 96) {
        const std::string bytes = file(name);
        if (name.ends_with(".png")) return readPng(bytes);
        if (name.ends_with(".gif")) return readGif(bytes);
        if (name.ends_with(".svg")) {
            const std::string dpi = std::to_string(svgDpi);
            const ProcessResult rendered = runProcess(
                RSVG_CONVERT, {"--dpi-x", dpi, "--dpi-y", dpi, "-o", "rendered.png", name}, "",
                directory_);
            if (rendered.exitStatus != 0) return std::nullopt;
            return readPng(file("rendered.png"));
        }
        return readBmp(bytes);
    }

    std::optional<Bytes> read(const DecodedImage& image) {
        return readPdf417Grey(image.grey.data(), image.width, image.height, image.width);
    }

    std::string directory_;
};

// Starts the tool with its output and errors thrown away, reading `input`
// (nothing when -1) with `parentEnd` closed in it; the caller waits.
inline pid_t spawnQuietly(const std::vector<std::string>& args, const std::string& directory,
                          int input = -1, int parentEnd = -1) {
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_RDWR);
        dup2(input >= 0 ? input : null, 0);
        if (parentEnd >= 0) close(parentEnd);
        dup2(null, 1);
        dup2(null, 2);
        if (chdir(directory.c_str()) != 0) _exit(127);
        // A run started in the background of a shell inherits an ignored
        // SIGINT; the tests send signals as a person at a terminal would.
        for (const int signal : {SIGINT, SIGTERM, SIGHUP}) std::signal(signal, SIG_DFL);
        std::vector<char*> argv{const_cast<char*>(BARQUILL_EXECUTABLE)};
        for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(BARQUILL_EXECUTABLE, argv.data());
        _exit(127);
    }
    return pid;
}

// Starts the tool reading a list from a pipe; `writeEnd` is the end the
// caller feeds and closes.
inline pid_t spawnReadingPipe(const std::vector<std::string>& args, const std::string& directory,
                              int& writeEnd) {
    int ends[2];
    if (pipe(ends) != 0) return -1;
    const pid_t pid = spawnQuietly(args, directory, ends[0], ends[1]);
    close(ends[0]);
    writeEnd = ends[1];
    return pid;
}

}  // namespace barquill::testing
