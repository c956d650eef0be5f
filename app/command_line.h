#pragma once
// The `barquill` command that writes the same file as Save, for people who
// want to script what they tried in the window.

#include <QString>
#include <cstdint>

namespace barquill::app {

struct CommandOptions {
    QString text;  // as typed; with escapes on, still escaped
    bool escapes = false;
    int level = -1;   // -1 automatic
    int columns = 0;  // 0 automatic
    int margin = 10;
    std::uint32_t barColor = 0x000000;  // 0x00BBGGRR
    std::uint32_t spaceColor = 0xFFFFFF;
    int rows = 0;         // 0 automatic
    double aspect = 0.0;  // 0 none
    QString charset;      // empty: the default rule; "none" or a set's name
    bool series = false;  // split data too large for one symbol
    QString outputPath;
};

// A POSIX shell command line; every argument that needs it is single-quoted.
QString commandLine(const CommandOptions& options);

}  // namespace barquill::app
