#include "app/symbol_view.h"

#include <QPainter>
#include <QStyleOptionFocusRect>
#include <algorithm>
#include <cmath>

namespace barquill::app {

SymbolView::SymbolView(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setMinimumSize(160, 80);
}

void SymbolView::setSymbol(const QImage& symbol) {
    m_symbol = symbol;
    update();
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

double SymbolView::scale() const {
    return scaleFor(m_symbol.size(), size());
}

QRect SymbolView::symbolRect() const {
    if (m_symbol.isNull()) return {};
    const double s = scale();
    const QSize shown(std::max(1, int(std::lround(m_symbol.width() * s))),
                      std::max(1, int(std::lround(m_symbol.height() * s))));
    return QRect(QPoint((width() - shown.width()) / 2, (height() - shown.height()) / 2), shown);
}

void SymbolView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    if (!m_symbol.isNull()) {
        const double s = scale();
        const QRect target = symbolRect();
        if (s == 1.0) {
            painter.drawImage(target.topLeft(), m_symbol);
        } else {
            // Whole factors and one half keep every module a whole number of
            // pixels, so sampling stays crisp; a smaller fit is averaged so
            // that thin modules do not vanish.
            const bool exact = s == 0.5 || s == std::floor(s);
            painter.drawImage(
                target.topLeft(),
                m_symbol.scaled(target.size(), Qt::IgnoreAspectRatio,
                                exact ? Qt::FastTransformation : Qt::SmoothTransformation));
            const QString percent = QStringLiteral("%1 %").arg(std::lround(s * 100));
            const QRect corner = rect().adjusted(4, 4, -4, -4);
            painter.setPen(palette().color(QPalette::WindowText));
            painter.drawText(corner, Qt::AlignRight | Qt::AlignBottom, percent);
        }
    }
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(1, 1, -1, -1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

}  // namespace barquill::app
