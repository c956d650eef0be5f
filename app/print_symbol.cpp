// SPDX-License-Identifier: MIT
// Print: every module a whole number of printer dots, so bars keep their
// widths on paper, painted as rectangles as PDF and EPS draw them; whole
// symbols only, as many to a page as fit, and in a series each with its
// "n of N" under it.

#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include "app/main_dialog.h"
#include "app/picture.h"

namespace barquill::app {

void CMainDialog::OnPrint() {
    FinishVerification();
    if (!m_label) {
        ShowMessage(QMessageBox::Information, tr("There is nothing to print. %1").arg(m_failure));
        return;
    }
    if (RefuseUnverified(tr("Nothing was printed."))) return;
    if (!ConfirmStale(tr("The text or options changed after the symbol was made; press Encode to "
                         "update it. Print the symbol shown anyway?")))
        return;
    if (const QString colours = ColourWarning();
        !colours.isEmpty() && !Confirm(colours + QLatin1Char(' ') + tr("Print anyway?")))
        return;
    RunPrintPreview();
}

void CMainDialog::RunPrintPreview() {
    QPrinter printer(QPrinter::HighResolution);
    QPrintPreviewDialog preview(&printer, this);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* p) { PrintSymbol(p); });
    preview.exec();
}

// With a resolution the symbols print as saved; otherwise in whole dots of
// the printer's own, the quiet zone keeping its width in modules.
Result<Render> CMainDialog::PrintRender(QPrinter* printer) const {
    Render render = m_label->render;
    if (render.dpi > 0) {
        printer->setResolution(render.dpi);
        return render;
    }
    PrintSize request;
    request.moduleMm = m_spModuleMm.typed();
    request.dpi = printer->resolution();
    const Result<SizedModules> sized = sizeModules(request);
    if (!sized) return sized.error();
    return Resized(render, sized->size);
}

// The quiet zone keeps its width in modules.
Render CMainDialog::Resized(Render render, const ModuleSize& size) {
    render.quietZone =
        std::min(maxQuietZone, render.quietZone * size.moduleWidth / render.moduleWidth);
    render.moduleWidth = size.moduleWidth;
    render.rowHeight = size.rowHeight;
    render.dpi = size.dpi;
    return render;
}

PrintLayout CMainDialog::PrintSymbol(QPrinter* printer) {
    PrintLayout layout;
    if (!m_label) {
        layout.error = m_failure;
        return layout;
    }
    const Result<Render> sized = PrintRender(printer);
    if (!sized) {
        layout.error = Messages::problem(sized.error());
        ShowMessage(QMessageBox::Warning, layout.error);
        return layout;
    }
    const Render& render = *sized;
    layout.dpi = render.dpi;
    layout.moduleDots = render.moduleWidth;
    const PictureSize picture = pictureSize(m_label->symbols.front(), render);
    layout.widthMm = dotsToMm(picture.width, layout.dpi);
    layout.heightMm = dotsToMm(picture.height, layout.dpi);
    const QString size = tr("%1, modules of %2 at %3")
                             .arg(Messages::millimetres(layout.widthMm, layout.heightMm),
                                  Messages::dots(layout.moduleDots), Messages::dpi(layout.dpi));

    QPainter painter(printer);
    // One picture pixel is one printer dot: the painter works in device dots.
    const QRect page = printer->pageLayout().paintRectPixels(layout.dpi);
    const int captionHeight = painter.fontMetrics().height();
    // The caption keeps clear of the symbol's quiet zone: 3 mm below it.
    const int below = layout.dpi / 8;
    const int count = SymbolCount();
    int y = 0;
    for (int i = 0; i < count; ++i) {
        const Symbol& symbol = m_label->symbols[std::size_t(i)];
        const PictureSize drawn = pictureSize(symbol, render);
        const QSize image(int(drawn.width), int(drawn.height));
        const int needed = image.height() + below + captionHeight;
        if (y > 0 && y + needed > page.height()) {
            printer->newPage();
            ++layout.pages;
            y = 0;
        }
        paintSymbol(painter, symbol, render, QPoint(0, y));
        layout.symbols.append({layout.pages, QRect(QPoint(0, y), image)});
        const QString caption =
            count > 1
                ? tr("%1 of %2: %3").arg(Messages::number(i + 1), Messages::number(count), size)
                : size;
        painter.setPen(Qt::black);
        painter.drawText(QRect(0, y + image.height() + below, std::max(image.width(), page.width()),
                               captionHeight),
                         Qt::AlignLeft | Qt::AlignTop, caption);
        y += needed + layout.dpi / 4;
        if (image.width() > page.width() || needed > page.height())
            layout.error =
                tr("The symbol is larger than the printable part of the page: choose "
                   "a narrower module or larger paper.");
    }
    layout.pages += 1;
    layout.ok = true;
    return layout;
}

}  // namespace barquill::app
