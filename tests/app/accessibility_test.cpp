// SPDX-License-Identifier: MIT
// What assistive technology and keyboard users get: names, roles and
// descriptions, labels with mnemonics, the tab order from the text (the
// profile's fields in it), focus shown on every control, and tool tips.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <algorithm>
#include <vector>

#include "app/color_ref.h"
#include "app/colour_check.h"
#include "gui_test_support.h"

namespace barquill::testing {
namespace {

class Accessibility : public ::testing::Test {
protected:
    static void SetUpTestSuite() { qtApplication(); }
    void SetUp() override {
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }
    TestDialog dialog;
};

TEST_F(Accessibility, EveryInputHasNameRoleDescriptionAndMnemonic) {
    struct Case {
        QWidget* widget;
        const char* name;
        QAccessible::Role role;
        Qt::Key mnemonic;  // Alt+key moves the focus here; 0 for none
    };
    const Case cases[] = {
        {&dialog.text(), "Text", QAccessible::EditableText, Qt::Key_T},
        {&dialog.profile(), "Profile", QAccessible::ComboBox, Qt::Key_F},
        {&dialog.level(), "Level", QAccessible::ComboBox, Qt::Key_L},
        {&dialog.margin(), "Margin", QAccessible::SpinBox, Qt::Key_M},
        {&dialog.columns(), "Columns", QAccessible::SpinBox, Qt::Key_C},
        {&dialog.rows(), "Rows", QAccessible::SpinBox, Qt::Key_R},
        {&dialog.aspect(), "Aspect ratio", QAccessible::EditableText, Qt::Key_A},
        {&dialog.moduleMm(), "Module width", QAccessible::SpinBox, Qt::Key_W},
        {&dialog.background(), "Background: white, #FFFFFF", QAccessible::Button, Qt::Key(0)},
        {&dialog.bars(), "Bar color: black, #000000", QAccessible::Button, Qt::Key(0)},
        {dialog.GetDlgItem(res::IDC_ENCODE), "Encode", QAccessible::Button, Qt::Key(0)},
        {dialog.GetDlgItem(res::IDC_SAVE), "Save", QAccessible::Button, Qt::Key(0)},
        {dialog.GetDlgItem(res::IDCANCEL), "Cancel", QAccessible::Button, Qt::Key(0)},
        {&dialog.live(), "Live preview", QAccessible::CheckBox, Qt::Key_P},
        {&dialog.escapes(), "Escapes", QAccessible::CheckBox, Qt::Key_E},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(c.widget);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->text(QAccessible::Name), QString::fromUtf8(c.name))
            << a->text(QAccessible::Name).toStdString();
        EXPECT_EQ(a->role(), c.role);
        EXPECT_FALSE(a->text(QAccessible::Description).isEmpty());
        EXPECT_FALSE(c.widget->toolTip().isEmpty());
        if (c.mnemonic != Qt::Key(0)) {
            dialog.GetDlgItem(res::IDCANCEL)->setFocus();
            QTest::keyClick(&dialog, c.mnemonic, Qt::AltModifier);
            EXPECT_TRUE(c.widget->hasFocus() ||
                        c.widget->isAncestorOf(QApplication::focusWidget()));
        }
    }
    QAccessibleInterface* symbol = QAccessible::queryAccessibleInterface(&dialog.symbolView());
    EXPECT_EQ(symbol->text(QAccessible::Name), QString("Symbol"));
    EXPECT_EQ(symbol->text(QAccessible::Description), dialog.StatusDescription());
    EXPECT_TRUE(dialog.GetStatusText().contains("rows"));
    QLabel* status = nullptr;
    for (QLabel* l : dialog.findChildren<QLabel*>())
        if (l->accessibleName() == "Status") status = l;
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->text(), dialog.GetStatusText());
}

TEST_F(Accessibility, TabOrderFollowsTheVisualOrderFromTheTextAndReachesEveryControl) {
    QStringList visited;
    dialog.text().setFocus();
    QWidget* start = QApplication::focusWidget();
    QWidget* w = start;
    do {
        visited << w->accessibleName();
        // Every control shows where the focus is.
        const QImage unfocused = [&] {
            dialog.GetDlgItem(res::IDCANCEL) == w ? dialog.text().setFocus()
                                                  : dialog.GetDlgItem(res::IDCANCEL)->setFocus();
            return w->grab().toImage();
        }();
        w->setFocus();
        EXPECT_NE(w->grab().toImage(), unfocused) << w->accessibleName().toStdString();
        QTest::keyClick(w, Qt::Key_Tab);
        w = QApplication::focusWidget();
        while (w != nullptr && w->focusProxy() != nullptr) w = w->focusProxy();
    } while (w != start && visited.size() < 40);
    EXPECT_EQ(visited.front(), QString("Text"));
    // Top to bottom, left to right: Live preview sits beside Escapes.
    const QStringList expected = {"Text",
                                  "Load",
                                  "Escapes",
                                  "Live preview",
                                  "Level",
                                  "Background: white, #FFFFFF",
                                  "Bar color: black, #000000",
                                  "Margin",
                                  "Columns",
                                  "Module width",
                                  "Resolution",
                                  "Rows",
                                  "Aspect ratio",
                                  "Character set",
                                  "Macro PDF417 series",
                                  "Verify",
                                  "Encode",
                                  "Save",
                                  "Print",
                                  "Cancel",
                                  "Symbol",
                                  "Profile"};
    EXPECT_EQ(visited, expected) << visited.join("|").toStdString();
}

TEST_F(Accessibility, HighContrastThemeKeepsProblemsAndCaptionsReadable) {
    const QPalette original = QApplication::palette();
    QPalette highContrast;
    highContrast.setColor(QPalette::Window, Qt::black);
    highContrast.setColor(QPalette::WindowText, Qt::white);
    highContrast.setColor(QPalette::Base, Qt::black);
    highContrast.setColor(QPalette::Text, Qt::white);
    highContrast.setColor(QPalette::Button, Qt::black);
    highContrast.setColor(QPalette::ButtonText, Qt::white);
    QApplication::setPalette(highContrast);
    {
        TestDialog themed;
        themed.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&themed));
        themed.text().setText("");  // a problem in the status line
        QLabel* status = nullptr;
        for (QLabel* l : themed.findChildren<QLabel*>())
            if (l->accessibleName() == "Status") status = l;
        ASSERT_NE(status, nullptr);
        const QColor text = status->palette().color(QPalette::WindowText);
        EXPECT_GE(contrastRatio(toRgb(toColorRef(Qt::black)), toRgb(toColorRef(text))), 4.5);
        // The colour buttons' captions stay readable on either swatch.
        for (CColorButton* button : {&themed.background(), &themed.bars()}) {
            const QImage face = button->grab().toImage();
            int light = 0, dark = 0;
            for (int y = 6; y < face.height() - 6; ++y)
                for (int x = 6; x < face.width() - 6; ++x)
                    (qGray(face.pixel(x, y)) < 128 ? dark : light) += 1;
            EXPECT_GT(light, 10);
            EXPECT_GT(dark, 10);
        }
    }
    QApplication::setPalette(original);
}

TEST_F(Accessibility, LargeFontShowsEveryCaptionWhole) {
    QFont large = dialog.font();
    large.setPointSize(large.pointSize() * 2);
    dialog.setFont(large);
    dialog.adjustSize();
    QApplication::processEvents();
    for (QWidget* w : dialog.findChildren<QWidget*>()) {
        // The controls themselves; their inner parts size with them.
        if (!w->isVisible() || w->parentWidget() == nullptr ||
            qobject_cast<QAbstractSpinBox*>(w->parentWidget()) ||
            qobject_cast<QComboBox*>(w->parentWidget()) ||
            qobject_cast<QLineEdit*>(w->parentWidget()))
            continue;
        EXPECT_GE(w->width(), w->minimumSizeHint().width()) << w->metaObject()->className();
        if (auto* label = qobject_cast<QLabel*>(w); label && !label->wordWrap()) {
            EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString();
        }
    }
}

}  // namespace
}  // namespace barquill::testing
