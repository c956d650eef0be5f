// SPDX-License-Identifier: MIT
// Save: the name's extension picks the format when it is one of the
// formats', otherwise the chosen type's extension is added; PDF and EPS ask
// for their page; the library writes the files, a series whole or not at all. Before anything is
// replaced the user is asked once: about a read-only file, and about the
// files of an older series under the same name.

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QScreen>
#include <QSettings>
#include <QStorageInfo>
#include <QTreeView>

#include "app/main_dialog.h"
#include "app/page_dialog.h"

namespace barquill::app {

namespace {

// At most this many names are listed in a question; the rest are counted.
constexpr int LISTED_FILES = 8;

QString formatCaption(const FormatInfo& format) {
    switch (format.format) {
        case Format::png:
            return CMainDialog::tr("PNG image");
        case Format::gif:
            return CMainDialog::tr("GIF image");
        case Format::bmp:
            return CMainDialog::tr("BMP image");
        case Format::svg:
            return CMainDialog::tr("SVG drawing");
        case Format::pdf:
            return CMainDialog::tr("PDF document");
        case Format::eps:
            return CMainDialog::tr("EPS drawing");
        case Format::zpl:
        case Format::escpos:
            break;
    }
    return QString::fromUtf8(format.caption.data(), qsizetype(format.caption.size()));
}

bool isVector(Format format) {
    return format == Format::pdf || format == Format::eps;
}

QString extensionOf(const FormatInfo& format) {
    return QString::fromUtf8(format.extension.data(), qsizetype(format.extension.size()));
}

QString filterOf(const FormatInfo& format) {
    return QStringLiteral("%1 (*%2)").arg(formatCaption(format), extensionOf(format));
}

std::string nativeName(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString fromNative(const std::string& name) {
    return QFile::decodeName(QByteArray(name.data(), qsizetype(name.size())));
}

QString listed(const QStringList& paths) {
    QStringList lines;
    for (qsizetype i = 0; i < paths.size() && i < LISTED_FILES; ++i)
        lines << QStringLiteral("  ") + QFileInfo(paths[i]).fileName();
    if (paths.size() > LISTED_FILES)
        lines << CMainDialog::tr("  … and %1 more")
                     .arg(Messages::number(long(paths.size() - LISTED_FILES)));
    return lines.join(QLatin1Char('\n'));
}

// The files of an older series saved under `path` that the new series
// (`newNames`) does not replace: every width of counter that a series of some
// size gets, each series numbered from 1 without a gap.
QStringList olderSeriesFiles(const QString& path, const QStringList& newNames) {
    QStringList older;
    for (int digits = 2; digits <= 5; ++digits) {
        // A series of 10^(digits-1) symbols numbers them with `digits` digits.
        int size = 1;
        for (int d = 1; d < digits; ++d) size *= 10;
        for (int index = 0;; ++index) {
            const QString name = fromNative(seriesFileName(nativeName(path), index, size));
            if (!QFileInfo::exists(name)) break;
            if (!newNames.contains(name)) older << name;
        }
    }
    older.removeDuplicates();
    return older;
}

}  // namespace

std::vector<FormatInfo> saveFormats() {
    std::vector<FormatInfo> offered;
    for (const FormatInfo& format : formats())
        if (!format.printer) offered.push_back(format);
    return offered;
}

QString withChosenExtension(const QString& path, std::optional<Format> chosen) {
    const std::optional<Format> named = knownFormatOfName(nativeName(path));
    if (named && !formatInfo(*named).printer) return path;
    return path + extensionOf(formatInfo(chosen.value_or(Format::png)));
}

QString suggestedFileName(const QString& text) {
    QString name;
    for (QChar c : text.left(200)) {
        if (c.isLetterOrNumber())
            name += c.toLower();
        else if (!name.isEmpty() && !name.endsWith(QLatin1Char('-')))
            name += QLatin1Char('-');
        if (name.size() >= 40) break;
    }
    while (name.endsWith(QLatin1Char('-'))) name.chop(1);
    return name.isEmpty() ? QStringLiteral("label") : name;
}

QString CMainDialog::StartFolder(const QString& remembered) {
    const QString home = QDir::homePath();
    const QFileInfo folder(remembered);
    if (remembered.isEmpty() || !folder.isDir()) return home;
    const QString canonical = folder.canonicalFilePath();
    for (const char* root : {"/proc", "/sys", "/dev"})
        if (canonical == QLatin1String(root) ||
            canonical.startsWith(QLatin1String(root) + QLatin1Char('/')))
            return home;
    // The same kinds of file system mounted elsewhere.
    static const QStringList virtualTypes = {
        QStringLiteral("proc"),       QStringLiteral("sysfs"),    QStringLiteral("devtmpfs"),
        QStringLiteral("devpts"),     QStringLiteral("debugfs"),  QStringLiteral("tracefs"),
        QStringLiteral("securityfs"), QStringLiteral("cgroup"),   QStringLiteral("cgroup2"),
        QStringLiteral("configfs"),   QStringLiteral("efivarfs"), QStringLiteral("pstore")};
    if (virtualTypes.contains(QString::fromLatin1(QStorageInfo(canonical).fileSystemType())))
        return home;
    return remembered;
}

void CMainDialog::SetupFileDialog(QFileDialog& dialog) const {
    // Room for names, sizes and dates without cutting the columns short.
    const QFontMetrics metrics = dialog.fontMetrics();
    QSize size(90 * metrics.averageCharWidth(), 28 * metrics.lineSpacing());
    if (const QScreen* screen = this->screen())
        size = size.boundedTo(screen->availableSize() * 9 / 10);
    dialog.resize(size);
    for (QTreeView* view : dialog.findChildren<QTreeView*>()) {
        view->header()->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int column = 1; column < view->header()->count(); ++column)
            view->header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
}

CMainDialog::SaveTarget CMainDialog::AskSaveFileName() {
    SaveTarget target;
    QFileDialog dialog(this, tr("Save"), StartFolder(m_lastFolder));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    const std::vector<FormatInfo> offered = saveFormats();
    QStringList filters;
    for (const FormatInfo& format : offered) filters << filterOf(format);
    dialog.setNameFilters(filters);
    const FormatInfo& first = offered.front();
    dialog.selectNameFilter(filterOf(first));
    dialog.setDefaultSuffix(extensionOf(first).mid(1));
    connect(&dialog, &QFileDialog::filterSelected, &dialog,
            [&dialog, &offered](const QString& filter) {
                for (const FormatInfo& format : offered)
                    if (filter == filterOf(format))
                        dialog.setDefaultSuffix(extensionOf(format).mid(1));
            });
    // A series is asked about whole, after the dialog.
    if (SymbolCount() > 1) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    const QString source =
        m_edText.isLoaded() ? QFileInfo(m_edText.loadedName()).completeBaseName() : m_edText.text();
    dialog.selectFile(suggestedFileName(source) + extensionOf(first));
    SetupFileDialog(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return target;
    target.path = dialog.selectedFiles().front();
    for (const FormatInfo& format : offered)
        if (dialog.selectedNameFilter() == filterOf(format)) target.format = format.format;
    return target;
}

CMainDialog::PageAnswer CMainDialog::AskPage(double widthMm, double heightMm) {
    QSettings settings;
    std::optional<Page> last;
    if (settings.value(QStringLiteral("page/onPaper"), false).toBool())
        last = Page{settings.value(QStringLiteral("page/width")).toDouble(),
                    settings.value(QStringLiteral("page/height")).toDouble(),
                    settings.value(QStringLiteral("page/x")).toDouble(),
                    settings.value(QStringLiteral("page/y")).toDouble()};
    PageDialog dialog(QSizeF(widthMm, heightMm), last, this);
    if (dialog.exec() != QDialog::Accepted) return {true, std::nullopt};
    const std::optional<Page> page = dialog.page();
    settings.setValue(QStringLiteral("page/onPaper"), page.has_value());
    if (page) {
        settings.setValue(QStringLiteral("page/width"), page->widthMm);
        settings.setValue(QStringLiteral("page/height"), page->heightMm);
        settings.setValue(QStringLiteral("page/x"), page->xMm);
        settings.setValue(QStringLiteral("page/y"), page->yMm);
    }
    return {false, page};
}

// PDF and EPS have no dots of their own: with a Resolution the symbols are
// drawn as saved, otherwise the module takes the Module width, drawn in units
// fine enough that it is a whole number of them within half a unit.
Result<Render> CMainDialog::VectorRender() const {
    if (m_label->render.dpi > 0) return m_label->render;
    PrintSize request;
    request.moduleMm = m_spModuleMm.typed().value_or(m_spModuleMm.value());
    request.dpi = int(
        std::clamp(std::lround(maxModuleWidth * mmPerInch / *request.moduleMm), 1L, long(maxDpi)));
    const Result<SizedModules> sized = sizeModules(request);
    if (!sized) return sized.error();
    return Resized(m_label->render, sized->size);
}

SeriesAnswer CMainDialog::AskSeriesClash(const SeriesClash& clash) {
    QString text;
    if (!clash.replaced.isEmpty())
        text += tr("Saving the series replaces these files:\n%1").arg(listed(clash.replaced));
    if (!clash.older.isEmpty()) {
        if (!text.isEmpty()) text += QStringLiteral("\n\n");
        text += tr("An older series of the same name has these files too, which this series does "
                   "not replace; a reader would take them for part of it:\n%1")
                    .arg(listed(clash.older));
    }
    QMessageBox box(QMessageBox::Question, windowTitle(), text, QMessageBox::NoButton, this);
    QPushButton* remove = clash.older.isEmpty()
                              ? nullptr
                              : box.addButton(tr("Replace and &remove the older files"),
                                              QMessageBox::DestructiveRole);
    QPushButton* replace =
        box.addButton(clash.older.isEmpty() ? tr("&Replace") : tr("Replace, &keep the older files"),
                      QMessageBox::AcceptRole);
    QPushButton* cancel = box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    if (remove != nullptr && box.clickedButton() == remove)
        return SeriesAnswer::replaceAndRemoveOlder;
    return box.clickedButton() == replace ? SeriesAnswer::replace : SeriesAnswer::cancel;
}

bool CMainDialog::ConfirmReadOnly(const QStringList& names) {
    if (names.size() == 1)
        return Confirm(
            tr("%1 is read-only. Replace it anyway?").arg(QDir::toNativeSeparators(names.front())));
    return Confirm(tr("These files are read-only:\n%1\nReplace them anyway?").arg(listed(names)));
}

// Asks once about whatever the new files would replace; how to write them,
// or nothing when the user says no.
std::optional<WriteOptions> CMainDialog::ConfirmReplacing(const QString& path,
                                                          const QStringList& names,
                                                          QStringList* olderToRemove) {
    if (names.size() > 1) {
        SeriesClash clash;
        for (const QString& name : names)
            if (QFileInfo::exists(name)) clash.replaced << name;
        clash.older = olderSeriesFiles(path, names);
        if (!clash.replaced.isEmpty() || !clash.older.isEmpty()) {
            const SeriesAnswer answer = AskSeriesClash(clash);
            if (answer == SeriesAnswer::cancel) return std::nullopt;
            if (answer == SeriesAnswer::replaceAndRemoveOlder) *olderToRemove = clash.older;
        }
    }
    WriteOptions options;
    options.format = knownFormatOfName(nativeName(path));
    QStringList readOnly;
    for (const QString& name : names)
        if (QFileInfo(name).isFile() && !QFileInfo(name).isWritable()) readOnly << name;
    if (!readOnly.isEmpty()) {
        if (!ConfirmReadOnly(readOnly)) return std::nullopt;
        options.replaceReadOnly = true;
    }
    return options;
}

void CMainDialog::OnSave() {
    FinishVerification();
    if (!m_label) {
        ShowMessage(QMessageBox::Information,
                    m_failure.isEmpty() ? tr("There is no symbol to save yet: press Encode first.")
                                        : tr("There is nothing to save. %1").arg(m_failure));
        return;
    }
    if (RefuseUnverified(tr("Nothing was saved."))) return;
    if (!ConfirmStale(tr("The text or options changed after the symbol was made; press Encode to "
                         "update it. Save the symbol shown anyway?")))
        return;
    if (const QString colours = ColourWarning();
        !colours.isEmpty() && !Confirm(colours + QLatin1Char(' ') + tr("Save anyway?")))
        return;
    const SaveTarget target = AskSaveFileName();
    if (target.path.isEmpty()) return;
    const QString path = withChosenExtension(target.path, target.format);
    // What is written: the symbols shown, on paper for a PDF or EPS.
    Label saved = *m_label;
    if (isVector(formatFromName(nativeName(path)))) {
        const Result<Render> vector = VectorRender();
        if (!vector) return ShowMessage(QMessageBox::Warning, Messages::problem(vector.error()));
        saved.render = *vector;
        const PictureSize size = pictureSize(saved.symbols.front(), saved.render);
        const PageAnswer page = AskPage(dotsToMm(size.width, saved.render.dpi),
                                        dotsToMm(size.height, saved.render.dpi));
        if (page.cancelled) return;
        saved.render.page = page.page;
    }
    // One symbol keeps the name as the user gave it.
    const std::vector<std::string> files = seriesFileNames(nativeName(path), SymbolCount());
    QStringList names;
    for (const std::string& name : files) names << (files.size() == 1 ? path : fromNative(name));
    QStringList older;
    std::optional<WriteOptions> options = ConfirmReplacing(path, names, &older);
    if (!options) return;

    // The files are verified as they are made, with the render they are
    // written with (a PDF's or EPS's own): one that fails writes nothing.
    Result<std::vector<std::string>> written = saveLabel(saved, nativeName(path), *options);
    if (!written && written.error().code == ErrorCode::readOnly && !options->replaceReadOnly) {
        // Made read-only since it was looked at.
        if (!ConfirmReadOnly({fromNative(written.error().path)})) return;
        options->replaceReadOnly = true;
        written = saveLabel(saved, nativeName(path), *options);
    }
    if (!written) {
        ShowMessage(QMessageBox::Warning, Messages::saveFailure(written.error()));
        return;
    }
    for (const QString& name : older) QFile::remove(name);
    // Only a folder where a file was written is worth starting in next time.
    m_lastFolder = QFileInfo(path).absolutePath();
    QStringList writtenNames;
    for (const std::string& name : *written) writtenNames << fromNative(name);
    m_savedNote = Messages::saved(writtenNames);
    UpdateStatus();
}

}  // namespace barquill::app
