// SPDX-License-Identifier: MIT
// The "Command line" dialog and the command it shows: the options spelt as
// the library's table of settings names them.

#include "app/command_line.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>
#include <QVBoxLayout>

#include "app/main_dialog.h"
#include "barquill/settings.hpp"

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

QString hexColour(ColorRef color) {
    return QString::asprintf("#%02X%02X%02X", redOf(color), greenOf(color), blueOf(color));
}

// The option that sets a setting of the library's table.
QString option(std::string_view setting) {
    const SettingInfo* info = findSetting(setting);
    Q_ASSERT(info != nullptr);
    return QStringLiteral("--") +
           QString::fromUtf8(info->name.data(), qsizetype(info->name.size()));
}

}  // namespace

QString commandLine(const CommandOptions& options) {
    QStringList args{QStringLiteral("barquill")};
    const bool profile = !options.profile.isEmpty();
    if (profile) args << QStringLiteral("--profile") << shellQuoted(options.profile);
    // With a profile an automatic setting is left out: given, it would be
    // the user's choice over the scheme's.
    if (!profile || options.level >= 0)
        args << option("level")
             << (options.level < 0 ? QStringLiteral("auto") : QString::number(options.level));
    if (!profile || options.columns > 0)
        args << option("columns")
             << (options.columns <= 0 ? QStringLiteral("auto") : QString::number(options.columns));
    if (options.rows > 0) args << option("rows") << QString::number(options.rows);
    if (!options.aspect.isEmpty()) args << option("aspect") << shellQuoted(options.aspect);
    args << option("margin") << QString::number(options.margin);
    args << option("fg") << shellQuoted(hexColour(options.barColor));
    args << option("bg") << shellQuoted(hexColour(options.spaceColor));
    if (options.moduleMm && options.dpi > 0)
        args << option("xdim") << QString::number(*options.moduleMm) << option("dpi")
             << QString::number(options.dpi);
    if (!options.charset.isEmpty()) args << option("charset") << shellQuoted(options.charset);
    if (options.series) args << option("macro");
    args << QStringLiteral("-o") << shellQuoted(options.outputPath);
    if (profile) {
        for (const auto& [key, value] : options.fields)
            args << QStringLiteral("--field") << shellQuoted(key + QLatin1Char('=') + value);
        return args.join(QLatin1Char(' '));
    }
    if (!options.inputPath.isEmpty()) {
        // Data from a file is taken byte for byte, as the window took it.
        args << QStringLiteral("-i") << shellQuoted(options.inputPath);
        return args.join(QLatin1Char(' '));
    }
    if (options.escapes) args << option("escapes");
    // The text is the last argument; "--" keeps one that starts with "-" data.
    args << QStringLiteral("--") << shellQuoted(options.text);
    return args.join(QLatin1Char(' '));
}

QString CMainDialog::CommandLineText() const {
    CommandOptions options;
    if (m_edText.isLoaded()) {
        options.inputPath = m_edText.loadedName();
    } else {
        options.text = m_edText.text();
        options.escapes = m_chkEscapes.isChecked();
    }
    options.level = SelectedLevel();
    options.columns = int(m_spColumns.typed().value_or(0));
    options.rows = int(m_spRows.typed().value_or(0));
    options.aspect = m_edAspect.text().trimmed().replace(QLatin1Char(','), QLatin1Char('.'));
    options.margin = int(m_spMargin.typed().value_or(m_spMargin.value()));
    options.barColor = m_btnBarColor.GetColor();
    options.spaceColor = m_btnBackground.GetColor();
    options.charset = m_cbCharset.currentData().toString();
    options.series = m_chkSeries.isChecked();
    options.dpi = int(m_spDpi.typed().value_or(0));
    if (options.dpi > 0) options.moduleMm = m_spModuleMm.typed();
    if (m_profile) {
        options.profile = QString::fromStdString(m_profile->name);
        for (const auto& [key, value] : m_profileForm.fields())
            options.fields << qMakePair(QString::fromStdString(key), QString::fromStdString(value));
        for (const ProfileField& field : m_profile->fields)
            if (field.document)
                options.fields << qMakePair(QString::fromStdString(field.key),
                                            m_edText.isLoaded()
                                                ? QLatin1Char('@') + m_edText.loadedName()
                                                : m_edText.text());
    }
    // A fresh name: running the command never overwrites what Save wrote.
    options.outputPath = QStringLiteral("label.png");
    return commandLine(options);
}

void CMainDialog::OnCommandLine() {
    QDialog dialog(this);
    dialog.setWindowTitle(tr("Command line"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* explanation =
        new QLabel(tr("This command writes the same file as Save, named label.png:"), &dialog);
    auto* command = new QPlainTextEdit(CommandLineText(), &dialog);
    command->setObjectName(QStringLiteral("command"));
    command->setReadOnly(true);
    command->setAccessibleName(tr("Command line"));
    command->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    command->setMinimumWidth(60 * fontMetrics().averageCharWidth());
    command->setMinimumHeight(5 * fontMetrics().lineSpacing());
    explanation->setBuddy(command);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dialog);
    // Alt+C is Copy's alone; Esc closes.
    buttons->button(QDialogButtonBox::Close)->setText(tr("Close"));
    auto* copy = buttons->addButton(tr("&Copy"), QDialogButtonBox::ActionRole);
    copy->setObjectName(QStringLiteral("copy"));
    connect(copy, &QPushButton::clicked, &dialog,
            [command] { QApplication::clipboard()->setText(command->toPlainText()); });
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(explanation);
    layout->addWidget(command);
    layout->addWidget(buttons);
    command->setFocus();
    command->selectAll();
    RunDialog(dialog);
}

}  // namespace barquill::app
