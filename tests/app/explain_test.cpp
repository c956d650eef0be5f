// SPDX-License-Identifier: MIT
// The Explain view: reached by Ctrl+E and from the symbol's menu, it shows
// the segments of the data and every codeword with its meaning, for one
// symbol, each symbol of a series, and a profile's symbol, and copies the
// whole explanation as text.

#include <gtest/gtest.h>

#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "app/explain_dialog.h"
#include "gui_test_support.h"

namespace barquill::testing {
namespace {

// What the view showed: its tables, row by row, and what Copy gave.
struct Seen {
    int opened = 0;
    QList<QStringList> segments;
    QList<QStringList> codewords;
    QString summary;
    QStringList symbols;  // the choice of a series' symbols
    QList<QStringList> secondSymbolCodewords;
    QString copied;
};

QList<QStringList> rowsOf(const QTableWidget& table) {
    QList<QStringList> rows;
    for (int row = 0; row < table.rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < table.columnCount(); ++column)
            cells << table.item(row, column)->text();
        rows << cells;
    }
    return rows;
}

class Explain : public ::testing::Test {
protected:
    static void SetUpTestSuite() { qtApplication(); }
    void SetUp() override {
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        dialog.onDialog = [this](QDialog& box) {
            auto* view = qobject_cast<ExplainDialog*>(&box);
            if (view == nullptr) return;
            seen = Seen{};
            seen.opened = 1;
            view->show();
            seen.segments = rowsOf(child<QTableWidget>(box, "segments"));
            seen.codewords = rowsOf(child<QTableWidget>(box, "codewords"));
            seen.summary = child<QLabel>(box, "summary").text();
            auto& symbols = child<QComboBox>(box, "symbolChoice");
            for (int i = 0; i < symbols.count(); ++i) seen.symbols << symbols.itemText(i);
            if (symbols.count() > 1) {
                symbols.setCurrentIndex(1);
                seen.secondSymbolCodewords = rowsOf(child<QTableWidget>(box, "codewords"));
            }
            QApplication::clipboard()->clear();
            child<QPushButton>(box, "copy").click();
            seen.copied = QApplication::clipboard()->text();
            // The mixed data of the first test.
            if (seen.segments.size() == 3)
                box.grab().save(QDir(BARQUILL_SCREENSHOT_DIR).filePath("barquill-explain.png"));
        };
    }

    TestDialog dialog;
    Seen seen;
};

TEST_F(Explain, ShowsTheSegmentsAndEveryCodewordOfTheSymbolAndCopiesThemAsText) {
    dialog.level().setCurrentIndex(dialog.level().findText("2"));
    dialog.text().setText(QString::fromUtf8("Hello 123456789012345 é"));
    ASSERT_EQ(dialog.SymbolCount(), 1);
    QTest::keyClick(&dialog, Qt::Key_E, Qt::ControlModifier);
    ASSERT_EQ(seen.opened, 1);
    // Six letters and a space as text, fifteen digits, then " é" (three bytes in UTF-8).
    EXPECT_EQ(seen.segments, (QList<QStringList>{
                                 {"Text", "0", "6"}, {"Numeric", "6", "15"}, {"Byte", "21", "3"}}));
    // Every codeword of the symbol shown, row by row; first the length
    // descriptor, which counts all but the error correction, and that last.
    const Symbol& symbol = dialog.CurrentLabel()->symbols.front();
    const int all = symbol.rows() * symbol.columns();
    const int correction = symbol.errorCorrectionCodewords();
    ASSERT_EQ(seen.codewords.size(), all);
    EXPECT_EQ(seen.codewords.front(),
              (QStringList{"1", "1", QString::number(all - correction), "Length descriptor"}));
    EXPECT_EQ(seen.codewords.back(),
              (QStringList{QString::number(symbol.rows()), QString::number(symbol.columns()),
                           seen.codewords.back()[2],
                           QString("Error correction, part %1 of %1").arg(correction)}));
    const auto meanings = [](const QList<QStringList>& rows) {
        QStringList said;
        for (const QStringList& row : rows) said << row[3];
        return said.join('|');
    };
    for (const char* part : {"ECI designator", "Latch to Numeric compaction", "Digits 6 to 20",
                             "Latch to Byte compaction", "Byte 22"})
        EXPECT_TRUE(meanings(seen.codewords).contains(part)) << part;
    EXPECT_TRUE(
        seen.summary.contains(QString("level 2: %1 error-correction codewords").arg(correction)))
        << seen.summary.toStdString();
    EXPECT_TRUE(seen.copied.contains("segments:")) << seen.copied.toStdString();
    EXPECT_TRUE(seen.copied.contains(QString("length descriptor: %1").arg(all - correction)))
        << seen.copied.toStdString();

    // The symbol's menu has it too.
    for (QAction* action : dialog.symbolView().actions())
        if (action->text() == "E&xplain...") action->trigger();
    EXPECT_EQ(seen.opened, 1);
    // Without a symbol there is nothing to explain, and the window says why.
    seen = Seen{};
    dialog.text().setText("");
    QTest::keyClick(&dialog, Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(seen.opened, 0);
    ASSERT_EQ(dialog.messages.size(), 1);
    EXPECT_TRUE(dialog.messages[0].startsWith("There is nothing to explain. The text is empty"));
}

TEST_F(Explain, ExplainsEachSymbolOfASeriesAndAProfilesSymbolAsItWasMade) {
    dialog.split().setChecked(true);
    dialog.text().setText(longText(2400));
    const int count = dialog.SymbolCount();
    ASSERT_GE(count, 2);
    dialog.OnExplain();
    ASSERT_EQ(seen.symbols.size(), count);
    EXPECT_EQ(seen.symbols[1], QString("2 of %1").arg(count));
    ASSERT_FALSE(seen.secondSymbolCodewords.isEmpty());
    QStringList meanings;
    for (const QStringList& row : seen.secondSymbolCodewords) meanings << row[3];
    EXPECT_TRUE(meanings.contains("Macro PDF417 control block"));
    EXPECT_TRUE(seen.copied.contains(QString("Symbol %1 of %1:").arg(count)));

    // The stamp profile puts the whole data in byte compaction.
    dialog.split().setChecked(false);
    dialog.profile().setCurrentIndex(dialog.profile().findData(QString("sii-cl")));
    dialog.text().setText("<TED version=\"1.0\"/>");
    ASSERT_EQ(dialog.SymbolCount(), 1) << dialog.GetStatusText().toStdString();
    dialog.OnExplain();
    EXPECT_EQ(seen.segments, (QList<QStringList>{{"Byte", "0", "20"}}));
}

}  // namespace
}  // namespace barquill::testing
