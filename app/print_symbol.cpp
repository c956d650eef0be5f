// Print: every module a whole number of printer dots, as the command line
// draws for --xdim and --dpi, so bars keep their widths on paper.

#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include "app/main_dialog.h"
#include "app/qt_draw_target.h"
#include "cli/geometry.h"
#include "cli/symbol_writer.h"

namespace barquill::app {

void CMainDialog::OnPrint() {
    if (!m_image.IsValid()) {
        ShowMessage(QMessageBox::Information, tr("There is nothing to print. %1").arg(m_failure));
        return;
    }
    RunPrintPreview();
}

void CMainDialog::RunPrintPreview() {
    QPrinter printer(QPrinter::HighResolution);
    QPrintPreviewDialog preview(&printer, this);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* p) { PrintSymbol(p); });
    preview.exec();
}

PrintLayout CMainDialog::PrintSymbol(QPrinter* printer) {
    PrintLayout layout;
    if (!m_job) {
        layout.error = m_failure;
        return layout;
    }
    if (m_spDpi.value() > 0) printer->setResolution(m_spDpi.value());
    layout.dpi = printer->resolution();
    const cli::GeometryResult g =
        cli::computeGeometry({std::nullopt, std::nullopt, m_spModuleMm.value(), layout.dpi});
    if (!g.ok) {
        layout.error = QString::fromStdString(g.error);
        ShowMessage(QMessageBox::Warning, layout.error);
        return layout;
    }
    // The margin keeps its size in modules: the screen's module is 2 pixels.
    // A series prints side by side, a margin apart.
    QList<QImage> images;
    for (int i = 0; i < SymbolCount(); ++i) {
        const encoder::SymbolJob& job = SymbolJobAt(i);
        cli::DrawOptions options =
            screenDrawing(job.margin * g.geometry.moduleWidth / 2, job.barColor, job.spaceColor);
        options.geometry = g.geometry;
        image::Picture picture(image::IMAGE_FORMAT_UNKNOWN);
        if (!cli::drawSymbol(job, options, &picture)) {
            layout.error = QString::fromLocal8Bit(picture.GetLastError());
            ShowMessage(QMessageBox::Warning, layout.error);
            return layout;
        }
        images << pictureImage(picture);
    }
    layout.moduleDots = g.geometry.moduleWidth;
    layout.widthMm = images.front().width() * 25.4 / layout.dpi;
    layout.heightMm = images.front().height() * 25.4 / layout.dpi;

    QPainter painter(printer);
    // One image pixel is one printer dot: the painter works in device dots.
    int x = 0;
    for (const QImage& image : images) {
        painter.drawImage(QPoint(x, 0), image);
        x += image.width() + layout.dpi / 4;
    }
    painter.setPen(Qt::black);
    const int below = images.front().height() + layout.dpi / 10;
    painter.drawText(QRect(0, below, std::max(x, layout.dpi * 4), layout.dpi),
                     Qt::AlignLeft | Qt::AlignTop,
                     tr("%1 × %2 mm, modules of %3 dots at %4 dpi")
                         .arg(layout.widthMm, 0, 'f', 1)
                         .arg(layout.heightMm, 0, 'f', 1)
                         .arg(layout.moduleDots)
                         .arg(layout.dpi));
    layout.ok = true;
    return layout;
}

}  // namespace barquill::app
