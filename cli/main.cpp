// SPDX-License-Identifier: MIT
// barquill: PDF417 barcodes from the command line.
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "barquill/files.hpp"
#include "cli/arguments.h"
#include "cli/exit_status.h"
#include "cli/run.h"

int main(int argc, char** argv) {
    // A file over the size limit is an error to report, not a reason to die.
    std::signal(SIGXFSZ, SIG_IGN);
    const std::vector<std::string> args(argv, argv + argc);
    if (args.size() > 1 && args[1] == "serve") return barquill::cli::handOverToService(argv);
    const barquill::cli::ParseResult parsed = barquill::cli::parseArguments(args);
    if (!parsed.run) {
        std::FILE* stream = parsed.exitStatus == 0 ? stdout : stderr;
        std::fputs(parsed.text.c_str(), stream);
        // Help that could not be written (a full disk) is a failure too.
        if (std::fflush(stream) != 0 || std::ferror(stream)) return 1;
        return parsed.exitStatus;
    }
    // An interrupted run leaves complete files and nothing else.
    barquill::installTerminationGuard();
    barquill::cli::Console console;
    console.errIsTerminal = ::isatty(STDERR_FILENO) != 0;
    // Input too large for memory (a field file, a label) is an error to
    // report, not an abort.
    try {
        return barquill::cli::runRequest(parsed.request, console);
    } catch (const std::bad_alloc&) {
        std::fputs("barquill: out of memory\n", stderr);
        return barquill::cli::EXIT_NOT_ENCODABLE;
    }
}
