// SPDX-License-Identifier: MIT
#pragma once
// The page a PDF or EPS puts the symbols on: the symbol's own size, A4,
// Letter or a size of the user's, and where the symbol's top left corner
// (its quiet zone's) goes. The dialog refuses a place where the symbol would
// pass the page's edge, saying by how much.

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QSizeF>
#include <optional>

#include "app/number_box.h"
#include "barquill/render.hpp"

class QDialogButtonBox;

namespace barquill::app {

class PageDialog : public QDialog {
    Q_OBJECT
public:
    // `symbolMm`: the symbol with its quiet zone on paper; `start`: the page
    // chosen last time, none for the symbol's own size.
    PageDialog(QSizeF symbolMm, const std::optional<Page>& start, QWidget* parent = nullptr);

    // None: a page of the symbol's own size.
    std::optional<Page> page() const;

    enum Paper { symbolSize, a4, letter, custom };

private:
    void PaperChanged();
    void Check();
    QLabel* Caption(const QString& text, QWidget& buddy);

    QSizeF m_symbolMm;
    QComboBox m_paper;
    DecimalBox m_width, m_height, m_x, m_y;
    QLabel m_error;
    QDialogButtonBox* m_buttons = nullptr;
};

}  // namespace barquill::app
