// barquill: PDF417 barcodes from the command line.
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "cli/run.h"
#include "image/replace_file.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv, argv + argc);
    const barquill::cli::ParseResult parsed = barquill::cli::parseArguments(args);
    if (!parsed.run) {
        std::fputs(parsed.text.c_str(), parsed.exitStatus == 0 ? stdout : stderr);
        return parsed.exitStatus;
    }
    // An interrupted run leaves complete files and nothing else.
    barquill::image::InstallTerminationGuard();
    barquill::cli::Console console;
    console.errIsTerminal = ::isatty(STDERR_FILENO) != 0;
    return barquill::cli::runRequest(parsed.request, console);
}
