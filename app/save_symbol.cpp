// Save: the file name's last extension picks the format (the chosen type's
// extension is added to a name without one), and the picture writes the file
// through a temporary file, so a failed save leaves an existing file whole.

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>
#include <cerrno>
#include <cstring>

#include "app/main_dialog.h"
#include "cli/output_format.h"
#include "cli/symbol_writer.h"
#include "cli/symbology.h"

namespace barquill::app {

namespace {

std::uint32_t imageFormat(cli::OutputFormat format) {
    switch (format) {
        case cli::OutputFormat::gif:
            return image::IMAGE_FORMAT_GIF;
        case cli::OutputFormat::png:
            return image::IMAGE_FORMAT_PNG;
        default:
            return image::IMAGE_FORMAT_BMP;
    }
}

}  // namespace

QString withChosenExtension(const QString& path, const QString& filter) {
    if (QFileInfo(path).fileName().contains(QLatin1Char('.'))) return path;
    // "PNG image (*.png)": the first pattern's extension.
    static const QRegularExpression pattern(QStringLiteral("\\(\\*\\.([A-Za-z0-9]+)"));
    const QRegularExpressionMatch match = pattern.match(filter);
    return match.hasMatch() ? path + QLatin1Char('.') + match.captured(1) : path;
}

CMainDialog::SaveTarget CMainDialog::AskSaveFileName() {
    SaveTarget target;
    QFileDialog dialog(this, tr("Save"), m_lastFolder);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({tr("PNG image (*.png)"), tr("GIF image (*.gif)"),
                           tr("BMP image (*.bmp)"), tr("SVG drawing (*.svg)")});
    dialog.setDefaultSuffix(QStringLiteral("png"));
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
        dialog.setDefaultSuffix(withChosenExtension(QString(), filter).mid(1));
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return target;
    target.path = dialog.selectedFiles().front();
    target.filter = dialog.selectedNameFilter();
    return target;
}

QString CMainDialog::AskOpenFileName() {
    return QFileDialog::getOpenFileName(this, tr("Load data"), m_lastFolder);
}

void CMainDialog::OnSave() {
    FinishVerification();
    if (!m_image.IsValid()) {
        ShowMessage(QMessageBox::Information,
                    m_failure.isEmpty() ? tr("There is no symbol to save yet: press Encode first.")
                                        : tr("There is nothing to save. %1").arg(m_failure));
        return;
    }
    if (m_stale &&
        !Confirm(tr("The text or options changed after the symbol was made; press Encode to "
                    "update it. Save the symbol shown anyway?")))
        return;
    if (const QString colours = ColourWarning();
        !colours.isEmpty() && !Confirm(colours + QLatin1Char(' ') + tr("Save anyway?")))
        return;
    const SaveTarget target = AskSaveFileName();
    if (target.path.isEmpty()) return;
    const QString path = withChosenExtension(target.path, target.filter);
    m_lastFolder = QFileInfo(path).absolutePath();
    m_lastSavePath = path;
    const cli::OutputFormat chosen = cli::formatFromName(QFile::encodeName(path).toStdString());

    // A series goes to numbered files, named as the command line names them.
    const int count = SymbolCount();
    for (int i = 0; i < count; ++i) {
        const QString name =
            count == 1
                ? path
                : QFile::decodeName(
                      cli::segmentName(QFile::encodeName(path).toStdString(), i, count).c_str());
        QString reason;
        if (!SaveOne(i, name, chosen, &reason)) {
            ShowMessage(QMessageBox::Warning,
                        tr("Could not save %1:\n%2").arg(QDir::toNativeSeparators(name), reason));
            return;
        }
    }
}

bool CMainDialog::SaveOne(int index, const QString& path, cli::OutputFormat format,
                          QString* reason) {
    const encoder::SymbolJob& job = SymbolJobAt(index);
    if (format == cli::OutputFormat::svg) {
        std::string error;
        if (cli::writeSymbolFile(job, screenDrawing(job.margin, job.barColor, job.spaceColor),
                                 cli::OutputFormat::svg, QFile::encodeName(path).toStdString(),
                                 cli::WriteOptions{}, &error) == cli::WriteResult::written)
            return true;
        *reason = QString::fromLocal8Bit(error.c_str());
        return false;
    }
    image::Picture& picture = PictureAt(index);
    const QByteArray nativePath = QFile::encodeName(path);
    // The last-error text is kept from earlier failures and a file that
    // cannot be opened leaves it alone: only a changed text is this save's
    // reason; otherwise the system's is.
    const QByteArray earlierError(picture.GetLastError());
    errno = 0;
    if (picture.Save(nativePath.constData(), imageFormat(format))) return true;
    const int systemError = errno;
    if (earlierError != QByteArray(picture.GetLastError()))
        *reason = QString::fromLocal8Bit(picture.GetLastError());
    else if (systemError != 0)
        *reason = QString::fromLocal8Bit(std::strerror(systemError));
    else
        *reason = tr("The file could not be written.");
    return false;
}

}  // namespace barquill::app
