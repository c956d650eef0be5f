// SPDX-License-Identifier: MIT
#pragma once
// A push button that shows a colour: its face is a swatch of the colour with
// the caption on top, and a click opens a colour dialog to choose another.

#include <QPushButton>
#include <functional>
#include <optional>

#include "app/color_ref.h"

class QPainter;

namespace barquill::app {

using COLORREF = ColorRef;

class CColorButton : public QPushButton {
    Q_OBJECT
public:
    // Runs a colour dialog starting at `initial`; nothing when cancelled.
    using ColorDialog = std::function<std::optional<COLORREF>(COLORREF initial, QWidget* parent)>;

    explicit CColorButton(QWidget* parent = nullptr);
    ~CColorButton() override;

    // Stores the colour and repaints the button.
    void SetColor(COLORREF color);
    COLORREF GetColor() const { return m_crColor; }

    // Runs the colour dialog; true when the colour changed.
    bool PickColor();

    // Replaces the colour dialog, so the choice can be made without a person.
    void SetColorDialog(ColorDialog dialog) { m_colorDialog = std::move(dialog); }
    // The colour dialog's title, which says which colour is chosen.
    void SetDialogTitle(const QString& title) { m_dialogTitle = title; }
    const QString& DialogTitle() const { return m_dialogTitle; }

protected:
    void paintEvent(QPaintEvent* event) override;
    // Paints the face as nested rings: focus ring, frame line, push-button
    // frame, swatch (chequered when disabled) and caption.
    virtual void DrawItem(QPainter& painter, bool selected, bool disabled);

private:
    // Opens the colour dialog when picking is enabled. Returns false, so the
    // click also reaches anything else listening.
    bool OnClicked();

    COLORREF m_crColor = 0;
    bool m_bPickEnabled = true;
    bool m_bFramed = false;
    COLORREF* m_pCustomColors = nullptr;  // 16 entries, not owned
    ColorDialog m_colorDialog;
    QString m_dialogTitle;
};

}  // namespace barquill::app
