// The Save button: the file name's last extension picks the format, and the
// picture writes the file (through a temporary file, so a failed save leaves
// an existing file whole).

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

#include "app/main_dialog.h"

namespace barquill::app {

std::uint32_t ImageFormatForFileName(const QString& fileName) {
    const QString name = QFileInfo(fileName).fileName();
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    const QString extension = (dot < 0 ? name : name.mid(dot)).toUpper();
    if (extension == QLatin1String(".GIF")) return image::IMAGE_FORMAT_GIF;
    if (extension == QLatin1String(".PNG")) return image::IMAGE_FORMAT_PNG;
    return image::IMAGE_FORMAT_BMP;
}

QString CMainDialog::AskSaveFileName() {
    // The filters only help to find files; the name typed decides the format.
    return QFileDialog::getSaveFileName(
        this, tr("Save"), QString(),
        tr("PNG image (*.png);;GIF image (*.gif);;BMP image (*.bmp);;All files (*)"));
}

void CMainDialog::OnSave() {
    if (!m_image.IsValid()) {
        ShowMessage(QMessageBox::Information,
                    tr("There is no symbol to save yet: press Encode first."));
        return;
    }
    const QString path = AskSaveFileName();
    if (path.isEmpty()) return;
    const QByteArray nativePath = QFile::encodeName(path);
    const std::uint32_t format = ImageFormatForFileName(path);
    // The symbol has two colours: as GIF it goes out as one paletted image
    // rather than as true-colour tiles, which many viewers show one by one
    // or only the first of.
    image::Picture paletted;
    image::Picture* picture = &m_image;
    if (format == image::IMAGE_FORMAT_GIF && m_image.CreateIndexedCopy(&paletted))
        picture = &paletted;
    // The last-error text is kept from earlier failures and a file that
    // cannot be opened leaves it alone: only a changed text is this save's
    // reason; otherwise the system's is.
    const QByteArray earlierError(picture->GetLastError());
    errno = 0;
    if (!picture->Save(nativePath.constData(), format)) {
        const int systemError = errno;
        QString reason;
        if (earlierError != QByteArray(picture->GetLastError()))
            reason = QString::fromLocal8Bit(picture->GetLastError());
        else if (systemError != 0)
            reason = QString::fromLocal8Bit(std::strerror(systemError));
        else
            reason = tr("The file could not be written.");
        ShowMessage(QMessageBox::Warning,
                    tr("Could not save %1:\n%2").arg(QDir::toNativeSeparators(path), reason));
    }
}

}  // namespace barquill::app
