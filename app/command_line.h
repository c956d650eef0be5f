// SPDX-License-Identifier: MIT
#pragma once
// The `barquill` command that writes the same file as Save, for people who
// want to script what they tried in the window.

#include <QList>
#include <QPair>
#include <QString>
#include <optional>

#include "app/color_ref.h"

namespace barquill::app {

struct CommandOptions {
    QString text;  // as typed; with escapes on, still escaped
    bool escapes = false;
    QString inputPath;  // data loaded from this file, taken instead of the text
    int level = -1;     // -1 automatic
    int columns = 0;    // 0 automatic
    int rows = 0;       // 0 automatic
    QString aspect;     // "3:1" or "2.5"; empty for none
    int margin = 10;
    ColorRef barColor = 0x000000;
    ColorRef spaceColor = 0xFFFFFF;
    QString charset;                 // empty: the default rule; "none" or a set's name
    bool series = false;             // split data too large for one symbol
    std::optional<double> moduleMm;  // with a resolution: the file's module in whole dots
    int dpi = 0;
    QString outputPath = QStringLiteral("label.png");
    // An application profile and its fields, which take the place of the
    // text; a field's value "@FILE" is read from the file.
    QString profile;
    QList<QPair<QString, QString>> fields;
};

// A POSIX shell command line; every argument that needs it is single-quoted.
QString commandLine(const CommandOptions& options);

}  // namespace barquill::app
