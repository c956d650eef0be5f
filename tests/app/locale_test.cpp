// SPDX-License-Identifier: MIT
// Languages and locales: English everywhere but in Chinese locales, which
// get the whole window in Simplified Chinese with the original's own
// captions; every translatable string has a finished translation; decimal
// fields take a point or a comma and show the locale's; messages write
// numbers for the window's language.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>
#include <QXmlStreamReader>
#include <map>
#include <set>

#include "app/about_dialog.h"
#include "gui_test_support.h"

namespace barquill::testing {
namespace {

// The messages of a Qt translation file: (context, source) and whether each
// is finished (a translation, and no unfinished, vanished or obsolete mark).
using Key = std::pair<QString, QString>;
std::map<Key, bool> readTranslations(const QString& path) {
    std::map<Key, bool> messages;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return messages;
    QXmlStreamReader xml(&file);
    QString context, source, translation;
    bool finished = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.isStartElement() && xml.name() == QLatin1String("source")) {
            source = xml.readElementText();
        } else if (xml.isStartElement() && xml.name() == QLatin1String("translation")) {
            finished = xml.attributes().value("type").isEmpty();
            translation = xml.readElementText();
            messages[{context, source}] = finished && !translation.isEmpty();
        }
    }
    return messages;
}

class Locale : public ::testing::Test {
protected:
    static void SetUpTestSuite() { qtApplication(); }
    void TearDown() override { QLocale::setDefault(QLocale::c()); }
};

TEST_F(Locale, EveryStringOfTheWindowHasAFinishedChineseTranslation) {
    QTemporaryDir folder;
    const QString fresh = folder.filePath("fresh.ts");
    QProcess lupdate;
    // The project's root on the include path: sources include "app/...".
    lupdate.start(BARQUILL_LUPDATE, {"-silent", "-locations", "none", "-I", BARQUILL_SOURCE_DIR,
                                     BARQUILL_SOURCE_DIR "/app", "-ts", fresh});
    ASSERT_TRUE(lupdate.waitForFinished(120000));
    ASSERT_EQ(lupdate.exitCode(), 0) << lupdate.readAllStandardError().toStdString();
    const auto wanted = readTranslations(fresh);
    const auto given = readTranslations(BARQUILL_TRANSLATION);
    ASSERT_GT(wanted.size(), 100u);
    QStringList missing, unfinished, colour;
    for (const auto& [key, _] : wanted) {
        const auto found = given.find(key);
        if (found == given.end())
            missing << key.first + ": " + key.second;
        else if (!found->second)
            unfinished << key.first + ": " + key.second;
        // One spelling, the original caption's ("Bar color"), everywhere.
        if (key.second.contains("colour", Qt::CaseInsensitive)) colour << key.second;
    }
    for (const auto& [key, finished] : given)
        if (!finished) unfinished << key.first + ": " + key.second;
    EXPECT_TRUE(missing.isEmpty()) << missing.join("\n").toStdString();
    EXPECT_TRUE(unfinished.isEmpty()) << unfinished.join("\n").toStdString();
    EXPECT_TRUE(colour.isEmpty()) << colour.join("\n").toStdString();
}

TEST_F(Locale, WindowIsEnglishOrSimplifiedChineseWithTheOriginalsCaptions) {
    struct Case {
        const char* locale;
        const char* cancel;
        const char* aboutEntry;
        const char* aboutTitle;
        const char* version;  // the about box's name line, %1 the version
        const char* ok;
        const char* encode;
    };
    const Case cases[] = {
        {"en_GB", "Cancel", "About Barquill...", "About Barquill", "Barquill %1", "OK", "Encode"},
        {"de_DE", "Cancel", "About Barquill...", "About Barquill", "Barquill %1", "OK", "Encode"},
        {"zh_CN", "取消", "关于 Barquill(&A)...", "关于 Barquill", "Barquill %1 版", "确定",
         "编码"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.locale);
        QLocale::setDefault(QLocale(c.locale));
        QTranslator* translator = installTranslations(QLocale(c.locale));
        {
            TestDialog localised;
            localised.show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(&localised));
            auto* cancel = qobject_cast<QPushButton*>(localised.GetDlgItem(res::IDCANCEL));
            EXPECT_EQ(cancel->text(), QString::fromUtf8(c.cancel));
            EXPECT_EQ(localised.button("encode").text(), QString::fromUtf8(c.encode));
            QStringList actions;
            for (QAction* a : localised.actions()) actions << a->text();
            EXPECT_TRUE(actions.contains(QString::fromUtf8(c.aboutEntry)));
            localised.moduleMm().setValue(0.33);
            localised.dpi().setValue(300);
            localised.resize(900, 640);
            localised.FinishVerification();
            QApplication::processEvents();
            localised.grab().save(
                QDir(BARQUILL_SCREENSHOT_DIR)
                    .filePath(QString("barquill-main-dialog-%1.png").arg(c.locale)));
            // In Chinese the status line is Chinese too, not English with Chinese buttons.
            const bool chinese = QString(c.locale).startsWith("zh");
            EXPECT_EQ(localised.GetStatusText().contains(QString::fromUtf8("行")), chinese)
                << localised.GetStatusText().toStdString();

            CAboutDialog about;
            about.show();
            EXPECT_EQ(about.windowTitle(), QString::fromUtf8(c.aboutTitle));
            EXPECT_EQ(about.findChild<QLabel*>("version")->text(),
                      QString::fromUtf8(c.version).arg(versionText()));
            EXPECT_EQ(about.findChild<QPushButton*>()->text(), QString::fromUtf8(c.ok));
            about.grab().save(QDir(BARQUILL_SCREENSHOT_DIR)
                                  .filePath(QString("barquill-about-box-%1.png").arg(c.locale)));
        }
        if (translator != nullptr) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
    }
}

TEST_F(Locale, DecimalFieldsTakeAPointOrACommaAndShowTheLocalesSeparator) {
    QLocale::setDefault(QLocale("de_DE"));
    TestDialog dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    dialog.text().setText("Module");
    dialog.dpi().setValue(300);
    DecimalBox& module = dialog.moduleMm();
    struct Case {
        const char* typed;
        double value;
    };
    for (const Case& c :
         {Case{"0.25", 0.25}, Case{"0,25", 0.25}, Case{"1.5", 1.5}, Case{"0,254", 0.254}}) {
        SCOPED_TRACE(c.typed);
        module.setFocus();
        module.selectAll();
        QTest::keyClicks(&module, c.typed);
        dialog.text().setFocus();
        EXPECT_DOUBLE_EQ(module.value(), c.value);
        // Shown as the locale writes it.
        EXPECT_EQ(module.text(),
                  QLocale().toString(c.value, 'f', c.value == 0.254 ? 3 : 2) + " mm");
        ASSERT_EQ(dialog.SymbolCount(), 1) << dialog.GetStatusText().toStdString();
        const int dots = qMax(1, qRound(c.value * 300 / 25.4));
        EXPECT_EQ(dialog.CurrentLabel()->render.moduleWidth, dots);
    }
    // The aspect ratio takes a comma too.
    dialog.aspect().setText("0,5");
    EXPECT_EQ(dialog.SymbolCount(), 1) << dialog.GetStatusText().toStdString();
    dialog.aspect().clear();

    // Messages write numbers for the window's language, English here.
    dialog.dpi().setValue(0);
    dialog.text().setText(QString(8000, QChar('1')));
    EXPECT_TRUE(dialog.GetStatusText().contains("8,000 bytes"))
        << dialog.GetStatusText().toStdString();
    EXPECT_TRUE(dialog.GetStatusText().contains("6,999")) << dialog.GetStatusText().toStdString();
    EXPECT_FALSE(dialog.GetStatusText().contains("8.000"));
    dialog.text().setText("Module");
    dialog.dpi().setValue(300);
    dialog.moduleMm().setValue(0.25);
    dialog.FinishVerification();
    QApplication::processEvents();
    dialog.resize(900, 640);
    QApplication::processEvents();
    dialog.grab().save(
        QDir(BARQUILL_SCREENSHOT_DIR).filePath("barquill-main-dialog-de_DE-decimals.png"));
}

}  // namespace
}  // namespace barquill::testing
