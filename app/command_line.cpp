#include "app/command_line.h"

#include <QStringList>

#include "display/color.h"

namespace barquill::app {

namespace {

QString shellQuoted(const QString& argument) {
    static const QString safe =
        QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-./:=,+@%");
    bool plain = !argument.isEmpty();
    for (QChar c : argument)
        if (!safe.contains(c)) plain = false;
    if (plain) return argument;
    QString quoted = argument;
    quoted.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QString hexColour(std::uint32_t color) {
    return QString::asprintf("#%02X%02X%02X", display::redOf(color), display::greenOf(color),
                             display::blueOf(color));
}

}  // namespace

QString commandLine(const CommandOptions& options) {
    QStringList args{QStringLiteral("barquill")};
    args << QStringLiteral("-l")
         << (options.level < 0 ? QStringLiteral("auto") : QString::number(options.level));
    args << QStringLiteral("-c")
         << (options.columns <= 0 ? QStringLiteral("auto") : QString::number(options.columns));
    if (options.rows > 0) args << QStringLiteral("--rows") << QString::number(options.rows);
    if (options.aspect > 0) args << QStringLiteral("--aspect") << QString::number(options.aspect);
    args << QStringLiteral("-m") << QString::number(options.margin);
    args << QStringLiteral("--fg") << shellQuoted(hexColour(options.barColor));
    args << QStringLiteral("--bg") << shellQuoted(hexColour(options.spaceColor));
    if (!options.charset.isEmpty())
        args << QStringLiteral("--charset") << shellQuoted(options.charset);
    if (options.series) args << QStringLiteral("--macro");
    if (options.escapes) args << QStringLiteral("--escapes");
    args << QStringLiteral("-o") << shellQuoted(options.outputPath);
    // The text is the last argument; "--" keeps one that starts with "-" data.
    args << QStringLiteral("--") << shellQuoted(options.text);
    return args.join(QLatin1Char(' '));
}

}  // namespace barquill::app
