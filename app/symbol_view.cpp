// SPDX-License-Identifier: MIT
#include "app/symbol_view.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace barquill::app {

namespace {

QSize gridSize(int count, QSize picture, int columns) {
    const int rows = (count + columns - 1) / columns;
    return {columns * picture.width() + (columns - 1) * SymbolView::SERIES_GAP,
            rows * picture.height() + (rows - 1) * SymbolView::SERIES_GAP};
}

}  // namespace

SymbolView::SymbolView(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setMinimumSize(160, 80);
}

void SymbolView::setSymbol(const QImage& symbol) {
    setSymbols(symbol.isNull() ? QList<QImage>() : QList<QImage>{symbol});
}

void SymbolView::setSymbols(const QList<QImage>& symbols) {
    m_symbols = symbols;
    layOut();
    update();
}

void SymbolView::setStale(bool stale) {
    if (stale == m_stale) return;
    m_stale = stale;
    update();
}

QSize SymbolView::shownArea() const {
    return size() - QSize(2 * FRAME, 2 * FRAME);
}

double SymbolView::scaleFor(QSize symbol, QSize area) {
    if (symbol.isEmpty() || area.isEmpty()) return 1.0;
    const double fit =
        std::min(double(area.width()) / symbol.width(), double(area.height()) / symbol.height());
    if (fit >= 1.0) {
        const bool enlarged = area.width() > START_WIDTH && area.height() > START_HEIGHT;
        return enlarged ? std::floor(fit) : 1.0;
    }
    return fit >= 0.5 ? 0.5 : fit;
}

int SymbolView::columnsFor(int count, QSize picture, QSize area) {
    int best = 1;
    double bestScale = 0;
    for (int columns = 1; columns <= count; ++columns) {
        // More columns for as many rows only widen the grid.
        if (columns > 1 && (count + columns - 1) / columns == (count + columns - 2) / (columns - 1))
            continue;
        const double s = scaleFor(gridSize(count, picture, columns), area);
        if (s >= bestScale) {
            bestScale = s;
            best = columns;
        }
    }
    return best;
}

void SymbolView::layOut() {
    m_columns = m_symbols.size() <= 1
                    ? 1
                    : columnsFor(int(m_symbols.size()), m_symbols.front().size(), shownArea());
}

QSize SymbolView::layoutSize() const {
    if (m_symbols.isEmpty()) return {};
    if (m_symbols.size() == 1) return m_symbols.front().size();
    return gridSize(int(m_symbols.size()), m_symbols.front().size(), m_columns);
}

QPoint SymbolView::cellOrigin(int index) const {
    const QSize picture = m_symbols.front().size();
    return {(index % m_columns) * (picture.width() + SERIES_GAP),
            (index / m_columns) * (picture.height() + SERIES_GAP)};
}

QImage SymbolView::symbol() const {
    if (m_symbols.size() <= 1) return m_symbols.isEmpty() ? QImage() : m_symbols.front();
    QImage layout(layoutSize(), QImage::Format_RGB32);
    layout.fill(palette().color(QPalette::Window));
    QPainter painter(&layout);
    for (int i = 0; i < int(m_symbols.size()); ++i) painter.drawImage(cellOrigin(i), m_symbols[i]);
    return layout;
}

void SymbolView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layOut();
}

double SymbolView::scale() const {
    return scaleFor(layoutSize(), shownArea());
}

QRect SymbolView::symbolRect() const {
    if (m_symbols.isEmpty()) return {};
    const double s = scale();
    const QSize natural = layoutSize();
    const QSize shown(std::max(1, int(std::lround(natural.width() * s))),
                      std::max(1, int(std::lround(natural.height() * s))));
    return QRect(QPoint((width() - shown.width()) / 2, (height() - shown.height()) / 2), shown);
}

void SymbolView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    const QRect target = symbolRect();
    if (!m_symbols.isEmpty()) {
        const double s = scale();
        // Whole factors and one half keep every module a whole number of
        // pixels, so sampling stays crisp; a smaller fit is averaged so that
        // thin modules do not vanish.
        const bool exact = s == 0.5 || s == std::floor(s);
        if (m_stale) painter.setOpacity(0.3);
        for (int i = 0; i < int(m_symbols.size()); ++i) {
            const QImage& picture = m_symbols[i];
            const QPoint origin = cellOrigin(i);
            const QPoint at = target.topLeft() + QPoint(int(std::lround(origin.x() * s)),
                                                        int(std::lround(origin.y() * s)));
            if (s == 1.0) {
                painter.drawImage(at, picture);
                continue;
            }
            const QSize shown(std::max(1, int(std::lround(picture.width() * s))),
                              std::max(1, int(std::lround(picture.height() * s))));
            painter.drawImage(
                at, picture.scaled(shown, Qt::IgnoreAspectRatio,
                                   exact ? Qt::FastTransformation : Qt::SmoothTransformation));
        }
        painter.setOpacity(1.0);
        painter.setPen(palette().color(QPalette::WindowText));
        if (s != 1.0) {
            const QString percent = QStringLiteral("%1 %").arg(std::lround(s * 100));
            painter.drawText(rect().adjusted(FRAME, FRAME, -FRAME, -FRAME),
                             Qt::AlignRight | Qt::AlignBottom, percent);
        }
        if (m_stale) {
            const QString note = tr("Outdated: press Encode");
            QRect box = painter.fontMetrics().boundingRect(note).adjusted(-8, -4, 8, 4);
            box.moveCenter(target.center());
            painter.fillRect(box, palette().color(QPalette::ToolTipBase));
            painter.setPen(palette().color(QPalette::ToolTipText));
            painter.drawRect(box.adjusted(0, 0, -1, -1));
            painter.drawText(box, Qt::AlignCenter, note);
        }
    }
    if (hasFocus()) {
        // Around the symbol, in the room kept for it: the symbol's own
        // colours stay as they are.
        const QRect inner =
            target.isNull() ? rect().adjusted(FRAME, FRAME, -FRAME, -FRAME) : target;
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(inner.adjusted(-FRAME + 1, -FRAME + 1, FRAME - 2, FRAME - 2));
    }
}

}  // namespace barquill::app
