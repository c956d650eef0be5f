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
    cli::DrawOptions options;
    options.geometry = g.geometry;
    options.margin = m_job->margin * g.geometry.moduleWidth / 2;
    options.barColor = m_job->barColor;
    options.spaceColor = m_job->spaceColor;
    image::Picture picture(image::IMAGE_FORMAT_UNKNOWN);
    if (!cli::drawSymbol(*m_job, options, &picture)) {
        layout.error = QString::fromLocal8Bit(picture.GetLastError());
        ShowMessage(QMessageBox::Warning, layout.error);
        return layout;
    }
    const QImage image = pictureImage(picture);
    layout.moduleDots = g.geometry.moduleWidth;
    layout.widthMm = image.width() * 25.4 / layout.dpi;
    layout.heightMm = image.height() * 25.4 / layout.dpi;

    QPainter painter(printer);
    // One image pixel is one printer dot: the painter works in device dots.
    painter.drawImage(QPoint(0, 0), image);
    painter.setPen(Qt::black);
    painter.drawText(QRect(0, image.height() + layout.dpi / 10, image.width() * 4, layout.dpi),
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
