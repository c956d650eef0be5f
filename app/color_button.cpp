// SPDX-License-Identifier: MIT
#include "app/color_button.h"

#include <qdrawutil.h>

#include <QColorDialog>
#include <QPainter>
#include <QRegion>
#include <cstdlib>

namespace barquill::app {

namespace {

// The button-text colour is dark on every common theme, so on a dark swatch
// (the default black bars) the caption would vanish: there it turns white.
QColor captionColorOn(COLORREF swatch, const QColor& buttonText) {
    const int luma = greyLevel(toRgb(swatch));
    const int textLuma = qGray(buttonText.rgb());
    if (std::abs(luma - textLuma) >= 96) return buttonText;
    return luma < 128 ? QColor(Qt::white) : QColor(Qt::black);
}

std::optional<COLORREF> runQtColorDialog(COLORREF initial, QWidget* parent, const QString& title) {
    const QColor chosen = QColorDialog::getColor(toQColor(initial), parent, title);
    if (!chosen.isValid()) return std::nullopt;
    return toColorRef(chosen);
}

QRect inset(const QRect& r, int n) {
    return r.adjusted(n, n, -n, -n);
}

}  // namespace

CColorButton::CColorButton(QWidget* parent)
    : QPushButton(parent), m_colorDialog([this](COLORREF initial, QWidget* owner) {
          return runQtColorDialog(initial, owner, m_dialogTitle);
      }) {
    connect(this, &QPushButton::clicked, this, [this] { OnClicked(); });
}

CColorButton::~CColorButton() = default;

void CColorButton::SetColor(COLORREF color) {
    m_crColor = color;
    update();
}

bool CColorButton::OnClicked() {
    if (m_bPickEnabled) PickColor();
    return false;
}

bool CColorButton::PickColor() {
    // The custom-colour table, when one is given, is the dialog's for this run.
    if (m_pCustomColors != nullptr)
        for (int i = 0; i < 16 && i < QColorDialog::customCount(); ++i)
            QColorDialog::setCustomColor(i, toQColor(m_pCustomColors[i]));
    const std::optional<COLORREF> chosen = m_colorDialog(m_crColor, window());
    if (m_pCustomColors != nullptr)
        for (int i = 0; i < 16 && i < QColorDialog::customCount(); ++i)
            m_pCustomColors[i] = toColorRef(QColorDialog::customColor(i));
    if (!chosen || *chosen == m_crColor) return false;
    SetColor(*chosen);
    return true;
}

void CColorButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    DrawItem(painter, isDown(), !isEnabled());
}

void CColorButton::DrawItem(QPainter& painter, bool selected, bool disabled) {
    const QPalette& pal = palette();
    const QColor face = pal.color(QPalette::Active, QPalette::Button);
    const QColor buttonText = pal.color(QPalette::Active, QPalette::ButtonText);
    const QRect client = rect();

    // Outer ring, 2 pixels: button face, with a dotted focus line on its
    // outer edge while the button has the keyboard focus.
    painter.save();
    painter.setClipRegion(QRegion(client).subtracted(QRegion(inset(client, 2))));
    painter.fillRect(client, face);
    if (hasFocus()) {
        painter.setPen(buttonText);
        for (int x = client.left(); x <= client.right(); ++x)
            for (int y : {client.top(), client.bottom()})
                if ((x + y) % 2 == 0) painter.drawPoint(x, y);
        for (int y = client.top() + 1; y < client.bottom(); ++y)
            for (int x : {client.left(), client.right()})
                if ((x + y) % 2 == 0) painter.drawPoint(x, y);
    }
    painter.restore();

    // Frame line, 1 pixel.
    const QRect line = inset(client, 2);
    painter.setPen(m_bFramed ? pal.color(QPalette::Active, QPalette::Shadow) : face);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(line.adjusted(0, 0, -1, -1));

    // Push-button frame, 2 pixels, pushed while the button is held down.
    painter.save();
    painter.setClipRegion(QRegion(inset(client, 3)).subtracted(QRegion(inset(client, 5))));
    QPalette framePalette = pal;
    if (disabled) framePalette.setCurrentColorGroup(QPalette::Disabled);
    qDrawWinButton(&painter, inset(client, 3), framePalette, selected, nullptr);
    painter.restore();

    // Swatch, with a chequer of button-face pixels over it when disabled.
    const QRect swatch = inset(client, 5);
    painter.fillRect(swatch, toQColor(m_crColor));
    if (disabled) {
        painter.setPen(face);
        for (int y = swatch.top(); y <= swatch.bottom(); ++y)
            for (int x = swatch.left(); x <= swatch.right(); ++x)
                if ((x + y) % 2 == 0) painter.drawPoint(x, y);
    }

    // Caption, centred on one line, cut with an ellipsis when it does not fit.
    const QString caption = text();
    if (caption.isEmpty()) return;
    QRect textBox = swatch;
    if (selected) textBox.adjust(0, 0, 2, 2);
    painter.setFont(font());
    const QString shown =
        painter.fontMetrics().elidedText(caption, Qt::ElideRight, textBox.width());
    if (disabled) {
        // Embossed: a highlight copy one pixel down and right, then grey text.
        painter.setPen(pal.color(QPalette::Active, QPalette::Light));
        painter.drawText(textBox.translated(1, 1), Qt::AlignCenter | Qt::TextSingleLine, shown);
        painter.setPen(pal.color(QPalette::Disabled, QPalette::ButtonText));
    } else {
        painter.setPen(captionColorOn(m_crColor, buttonText));
    }
    painter.drawText(textBox, Qt::AlignCenter | Qt::TextSingleLine, shown);
}

}  // namespace barquill::app
