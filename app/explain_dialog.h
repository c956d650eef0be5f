// SPDX-License-Identifier: MIT
#pragma once
// How the data became the symbols shown: each symbol's segments (the
// compaction modes and the bytes each carries) and its codewords with what
// each means, in the window's words. Copy takes the whole explanation as
// text, as the command line's --explain prints it.

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QTableWidget>
#include <vector>

#include "barquill/explain.hpp"

namespace barquill::app {

class ExplainDialog : public QDialog {
    Q_OBJECT
public:
    explicit ExplainDialog(std::vector<Explanation> explanations, QWidget* parent = nullptr);

    // What Copy puts on the clipboard: every symbol's explanation.
    QString copiedText() const;

    // What a codeword means, in the window's words.
    static QString meaning(const ExplainedCodeword& codeword);
    static QString modeName(const std::string& mode);

private:
    void ShowSymbol(int index);
    QLabel* Caption(const QString& text, QWidget& buddy);

    std::vector<Explanation> m_explanations;
    QComboBox m_symbol;
    QLabel m_summary;
    QTableWidget m_segments;
    QTableWidget m_codewords;
};

}  // namespace barquill::app
