// SPDX-License-Identifier: MIT
// Application profiles in the window: each profile's form filled as a user
// fills it, the preview read back by an independent reader to the scheme's
// data written out by hand from its published layout; the scheme's rules
// shown beside the field or setting at fault; the form kept between
// profiles and runs; the command line that writes the same file.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

#include "gui_test_support.h"

namespace barquill::testing {
namespace {

using FieldValues = std::vector<std::pair<const char*, const char*>>;

class Profiles : public ::testing::Test {
protected:
    static void SetUpTestSuite() { qtApplication(); }
    void SetUp() override {
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }

    void choose(const char* profile) {
        dialog.profile().setCurrentIndex(dialog.profile().findData(QString(profile)));
    }
    QLineEdit& field(const QString& key) {
        return child<QLineEdit>(dialog, ("field:" + key).toUtf8().constData());
    }
    QPlainTextEdit& moreFields() { return child<QPlainTextEdit>(dialog, "moreFields"); }
    // What the error label `name` beside a field says; empty while it is hidden.
    QString formError(const QString& name) {
        const auto& label = child<QLabel>(dialog, name.toUtf8().constData());
        return label.isVisible() ? label.text() : QString();
    }
    std::string status() const { return dialog.GetStatusText().toStdString(); }
    void fill(const FieldValues& fields) {
        for (const auto& [key, value] : fields) field(key).setText(QString::fromUtf8(value));
    }

    TestDialog dialog;
};

// Types `text` key by key, letters beyond Latin-1 (ć, €) too.
void type(QWidget& widget, const QString& text) {
    for (const QChar c : text) {
        QTest::sendKeyEvent(QTest::Press, &widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, &widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// Data columns of a full symbol from its picture: 2 pixels a module inside a
// 10-pixel margin, and 17 modules a column beside 69 of start, stop and
// row indicators.
int columnsOf(const QImage& picture) {
    return ((picture.width() - 20) / 2 - 69) / 17;
}

// An AAMVA licence's data: the header, one designator, the DL subfile.
QByteArray aamvaData(const QByteArray& elements) {
    const QByteArray subfile = "DL" + elements;
    const QByteArray header =
        "@\n\x1e\rANSI 636000"
        "10"
        "00"
        "01";
    const int offset = int(header.size()) + 10;
    return header + "DL" + QByteArray::number(offset).rightJustified(4, '0') +
           QByteArray::number(subfile.size()).rightJustified(4, '0') + subfile;
}

// Good field sets, as a user types them.
FieldValues hub3Fields() {
    return {{"amount", "123,45"},
            {"payer_name", "Ana Anić"},
            {"payer_street", "Ilica 1"},
            {"payer_place", "10000 Zagreb"},
            {"recipient_name", "Vodovod d.o.o."},
            {"recipient_street", "Folnegovićeva 1"},
            {"recipient_place", "10000 Zagreb"},
            {"iban", "HR1210010051863000160"},
            {"model", "HR01"},
            {"reference", "7269-68-0000"},
            {"purpose", "WTER"},
            {"description", "Račun za vodu"}};
}

FieldValues aamvaFields() {
    return {{"iin", "636000"},        {"DL.DCA", "D"},         {"DL.DCB", "NONE"},
            {"DL.DCD", "NONE"},       {"DL.DBA", "08142030"},  {"DL.DCS", "SMITH"},
            {"DL.DAC", "JOHN"},       {"DL.DAD", "NONE"},      {"DL.DBD", "08142022"},
            {"DL.DBB", "01311990"},   {"DL.DBC", "1"},         {"DL.DAY", "BRO"},
            {"DL.DAU", "070 in"},     {"DL.DAG", "1 MAIN ST"}, {"DL.DAI", "ANYTOWN"},
            {"DL.DAJ", "VA"},         {"DL.DAK", "123450000"}, {"DL.DAQ", "T64235789"},
            {"DL.DCF", "2424244747"}, {"DL.DCG", "USA"},       {"DL.DDE", "N"},
            {"DL.DDF", "N"},          {"DL.DDG", "N"}};
}

FieldValues bcbpFields() {
    return {{"name", "DESMARAIS/LUC"},
            {"pnr", "ABC123"},
            {"from", "YUL"},
            {"to", "FRA"},
            {"carrier", "AC"},
            {"flight", "834"},
            {"date", "326"},
            {"compartment", "J"},
            {"seat", "1A"},
            {"sequence", "25"},
            {"status", "1"}};
}

TEST_F(Profiles, EachProfilesFormMakesTheSchemesDataAndThePreviewReadsBackAsIt) {
    struct Case {
        const char* profile;
        FieldValues fields;  // typed into the form
        QString more;        // lines of the box for further keys
        QString document;    // typed into the text
        QByteArray expected;
        int level;    // -1: the scheme leaves it
        int columns;  // 0: the scheme leaves them
        int symbols;
    };
    const QString invoice = longText(2600);
    const Case cases[] = {
        {"hub3", hub3Fields(), "", "",
         // Fourteen fields a line, in ISO-8859-2: ć is E6, č is E8.
         "HRVHUB30\nEUR\n000000000012345\nAna Ani\xe6\nIlica 1\n10000 Zagreb\nVodovod d.o.o.\n"
         "Folnegovi\xe6"
         "eva 1\n10000 Zagreb\nHR1210010051863000160\nHR01\n7269-68-0000\nWTER\nRa\xe8"
         "un za vodu",
         4, 9, 1},
        {"aamva", aamvaFields(), "DL.DAW=180\n", "",
         aamvaData("DCAD\nDCBNONE\nDCDNONE\nDBA08142030\nDCSSMITH\nDACJOHN\nDADNONE\n"
                   "DBD08142022\nDBB01311990\nDBC1\nDAYBRO\nDAU070 in\nDAG1 MAIN ST\n"
                   "DAIANYTOWN\nDAJVA\nDAK123450000\nDAQT64235789\nDCF2424244747\nDCGUSA\n"
                   "DDEN\nDDFN\nDDGN\nDAW180\r"),
         5, 0, 1},
        {"bcbp", bcbpFields(),
         "legs.1.pnr=DEF456\nlegs.1.from=FRA\nlegs.1.to=GVA\nlegs.1.carrier=LH\n"
         "legs.1.flight=1234A\nlegs.1.date=327\nlegs.1.compartment=Y\nlegs.1.seat=12C\n"
         "legs.1.sequence=7\nlegs.1.status=1",
         "",
         // The mandatory items: the name padded to 20, then 37 characters a leg.
         "M2DESMARAIS/LUC       EABC123 YULFRAAC 0834 326J001A0025 100"
         "DEF456 FRAGVALH 1234A327Y012C0007 100",
         -1, 0, 1},
        {"sii-cl",
         {},
         "",
         "<TED version=\"1.0\"><DD><RE>97975000-5</RE><TD>33</TD><F>27</F></DD></TED>",
         "<TED version=\"1.0\"><DD><RE>97975000-5</RE><TD>33</TD><F>27</F></DD></TED>",
         5,
         0,
         1},
        {"aeat-es", {}, "", invoice, invoice.toLatin1(), 5, 0, 0},
    };
    dialog.resize(1000, 900);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.profile);
        choose(c.profile);
        for (const auto& [key, value] : c.fields) {
            QLineEdit& edit = field(key);
            edit.setFocus();
            edit.selectAll();
            type(edit, QString::fromUtf8(value));
        }
        if (!c.more.isEmpty()) moreFields().setPlainText(c.more);
        if (!c.document.isEmpty()) dialog.text().setText(c.document);
        ASSERT_GE(dialog.SymbolCount(), 1) << status();
        if (c.symbols > 0) {
            EXPECT_EQ(dialog.SymbolCount(), c.symbols);
        }
        EXPECT_EQ(decodeAll(dialog), bytes(c.expected));
        if (c.level >= 0) {
            EXPECT_TRUE(dialog.GetStatusText().contains(QString("level %1").arg(c.level)))
                << status();
        }
        if (c.columns > 0) {
            EXPECT_EQ(columnsOf(dialog.SymbolImageAt(0)), c.columns);
        }
        dialog.FinishVerification();
        EXPECT_TRUE(dialog.GetStatusText().startsWith(QString::fromUtf8("✓ Verified.")))
            << status();
        // The form from its first field, as it opens.
        child<QScrollArea>(dialog, "profileForm").verticalScrollBar()->setValue(0);
        QApplication::processEvents();
        dialog.grab().save(QDir(BARQUILL_SCREENSHOT_DIR)
                               .filePath(QString("barquill-profile-%1.png").arg(c.profile)));
    }
    // The aeat-es invoice needed a series, which the scheme makes by itself.
    EXPECT_GE(dialog.SymbolCount(), 2);
}

TEST_F(Profiles, WhatBreaksTheSchemeIsShownBesideItsFieldInTheSchemesRule) {
    struct Case {
        const char* name;
        const char* profile;
        std::function<void()> breakIt;
        const char* errorLabel;  // the label beside the field at fault
        const char* said;        // part of what it and the status line say
        std::function<void()> mend;
    };
    const auto level = [&](const char* text) {
        return [&, text] { dialog.level().setCurrentIndex(dialog.level().findText(text)); };
    };
    const QString secondLeg =
        "legs.1.pnr=DEF456\nlegs.1.from=%1\nlegs.1.to=GVA\nlegs.1.carrier=LH\n"
        "legs.1.flight=1234A\nlegs.1.date=327";
    const auto charset = [&](const char* text) {
        return [&, text] { dialog.charset().setCurrentIndex(dialog.charset().findText(text)); };
    };
    const Case cases[] = {
        {"an IBAN whose check digits do not match", "hub3",
         [&] { field("iban").setText("HR1210010051863000161"); }, "field:ibanError",
         "Recipient's IBAN must be HR and 19 digits whose check digits match",
         [&] { field("iban").setText("HR1210010051863000160"); }},
        {"three decimals", "hub3", [&] { field("amount").setText("12,345"); }, "field:amountError",
         "Amount must be at most 2 decimals after a point or comma (123,45); written as 15 digits "
         "of cents; character 6 breaks it.",
         [&] { field("amount").setText("12,34"); }},
        {"a required field left empty", "hub3", [&] { field("recipient_name").clear(); },
         "field:recipient_nameError", "Recipient's name is required.",
         [&] { field("recipient_name").setText("Vodovod"); }},
        {"a character ISO-8859-2 lacks", "hub3",
         [&] { field("payer_name").setText(QString::fromUtf8("Ana 5 €")); },
         "field:payer_nameError", "“€” (character 7) has no form in the data's character set",
         charset("UTF-8")},
        {"a level the scheme does not take", "hub3", level("2"), "levelError",
         "Level: the profile requires error-correction level 4. Choose Auto to follow it.",
         level("Auto")},
        {"columns the scheme does not take", "hub3", [&] { dialog.columns().setValue(5); },
         "columnsError", "Columns: the profile requires 9 data columns.",
         [&] { dialog.columns().setValue(0); }},
        {"a character set the scheme does not take", "hub3", charset("ISO-8859-1"), "charsetError",
         "The Croatian payment slip (HUB-3A) profile takes no character set ISO-8859-1: choose "
         "Auto for the scheme's own.",
         charset("Auto")},
        {"a quiet zone narrower than the stamp's", "sii-cl",
         [&] {
             dialog.text().setText("<TED/>");
             dialog.margin().setValue(10);
             dialog.dpi().setValue(300);
         },
         "marginError", "Margin: the profile requires a quiet zone of at least 0.25 in",
         [&] { dialog.margin().setValue(75); }},
        {"a stamp left empty", "sii-cl", [&] { dialog.text().setText(""); }, "textError",
         "Stamp is required.", [&] { dialog.text().setText("<TED/>"); }},
        {"a date in another layout", "aamva", [&] { field("DL.DBD").setText("2022-08-14"); },
         "field:DL.DBDError",
         "Document issue date must be a date as MMDDCCYY, as US issuers write it; character 5 "
         "breaks it.",
         [&] { field("DL.DBD").setText("08142022"); }},
        {"a key the scheme does not have", "bcbp", [&] { moreFields().setPlainText("colour=red"); },
         "moreFieldsError", "colour is not a field of this profile.",
         [&] { moreFields().clear(); }},
        {"a further leg's airport in small letters", "bcbp",
         [&] { moreFields().setPlainText(secondLeg.arg("fra")); }, "moreFieldsError",
         "legs.1.from must be 3 capital letters (IATA airport code); character 1 breaks it.",
         [&] { moreFields().setPlainText(secondLeg.arg("FRA")); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        choose(c.profile);
        if (QString(c.profile) == "hub3") fill(hub3Fields());
        if (QString(c.profile) == "aamva") fill(aamvaFields());
        if (QString(c.profile) == "bcbp") fill(bcbpFields());
        if (QString(c.profile) == "sii-cl") dialog.text().setText("<TED/>");
        ASSERT_EQ(dialog.SymbolCount(), 1) << status();
        c.breakIt();
        EXPECT_EQ(dialog.SymbolCount(), 0);
        const QString beside = formError(c.errorLabel);
        EXPECT_TRUE(beside.contains(QString::fromUtf8(c.said))) << beside.toStdString();
        EXPECT_EQ(dialog.GetStatusText(), beside);
        c.mend();
        EXPECT_EQ(dialog.SymbolCount(), 1) << status();
        EXPECT_TRUE(formError(c.errorLabel).isEmpty());
        dialog.dpi().setValue(0);
    }
    // Screen readers hear the rule as the field's description, and its tip once mended.
    choose("hub3");
    fill(hub3Fields());
    field("iban").setText("HR00");
    EXPECT_EQ(field("iban").accessibleDescription(), formError("field:ibanError"));
    QApplication::processEvents();
    dialog.grab().save(QDir(BARQUILL_SCREENSHOT_DIR).filePath("barquill-profile-field-error.png"));
    field("iban").setText("HR1210010051863000160");
    EXPECT_EQ(field("iban").accessibleDescription(), field("iban").toolTip());
    EXPECT_TRUE(field("iban").toolTip().contains("required"))
        << field("iban").toolTip().toStdString();
}

TEST_F(Profiles, FormsAreKeptBetweenProfilesAndRunsAndNoneGivesTheTextBack) {
    dialog.text().setText("Free text");
    dialog.level().setCurrentIndex(dialog.level().findText("3"));
    choose("hub3");
    EXPECT_FALSE(dialog.text().isVisible());
    EXPECT_EQ(dialog.level().currentText(), QString("Auto"));
    fill(hub3Fields());
    field("amount").setText("5,00");
    // The fields come after the profile when tabbing, in the form's order.
    dialog.profile().setFocus();
    QTest::keyClick(&dialog.profile(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), &field("currency"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), &field("amount"));

    choose("");
    EXPECT_TRUE(dialog.text().isVisible());
    EXPECT_EQ(dialog.level().currentText(), QString("3"));
    EXPECT_EQ(decodeImage(dialog.SymbolImageAt(0)), utf8("Free text"));
    choose("hub3");
    EXPECT_EQ(field("amount").text(), QString("5,00"));
    ASSERT_EQ(dialog.SymbolCount(), 1) << status();
    const auto read = decodeImage(dialog.SymbolImageAt(0));
    ASSERT_TRUE(read.has_value());
    EXPECT_NE(std::string(read->begin(), read->end()).find("\n000000000000500\n"),
              std::string::npos);

    QTest::keyClick(&dialog, Qt::Key_Escape);
    CMainDialog next;
    Fields fields(next);
    EXPECT_EQ(fields.profile().currentData().toString(), QString("hub3"));
    auto* amount = next.findChild<QLineEdit*>("field:amount");
    ASSERT_NE(amount, nullptr);
    EXPECT_EQ(amount->text(), QString("5,00"));
    // The form's first field has the first focus, as the text has without a profile.
    next.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&next));
    EXPECT_EQ(QApplication::focusWidget(), next.findChild<QLineEdit*>("field:currency"));
    // None gives a level back even to a window that opened with a profile.
    fields.profile().setCurrentIndex(fields.profile().findData(QString()));
    EXPECT_EQ(fields.level().currentText(), QString("Auto"));
    EXPECT_TRUE(fields.text().isVisible());
    EXPECT_EQ(next.SymbolCount(), 1) << next.GetStatusText().toStdString();
}

TEST_F(Profiles, CommandLineWithTheProfileWritesTheSameFileAsSave) {
    QTemporaryDir folder;
    QFile stamp(folder.filePath("stamp.xml"));
    ASSERT_TRUE(stamp.open(QIODevice::WriteOnly));
    stamp.write("<TED version=\"1.0\"><DD><RE>97975000-5</RE></DD></TED>\n");
    stamp.close();
    struct Case {
        const char* profile;
        std::function<void()> fillIn;
    };
    const Case cases[] = {
        {"hub3", [&] { fill(hub3Fields()); }},
        {"bcbp",
         [&] {
             fill(bcbpFields());
             dialog.level().setCurrentIndex(dialog.level().findText("3"));
         }},
        {"sii-cl", [&] { ASSERT_TRUE(dialog.LoadFile(stamp.fileName())); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.profile);
        choose(c.profile);
        c.fillIn();
        ASSERT_EQ(dialog.SymbolCount(), 1) << status();
        dialog.nextSavePath = folder.filePath("saved.png");
        dialog.OnSave();
        ASSERT_TRUE(dialog.messages.isEmpty()) << dialog.messages.join("|").toStdString();
        const QString command = dialog.CommandLineText();
        EXPECT_TRUE(command.contains(QString("--profile %1").arg(c.profile)))
            << command.toStdString();
        QProcess shell;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("PATH", QString(BARQUILL_CLI_DIR) + ":" + env.value("PATH"));
        shell.setProcessEnvironment(env);
        shell.setWorkingDirectory(folder.path());
        shell.start("/bin/sh", {"-c", command});
        ASSERT_TRUE(shell.waitForFinished(30000));
        EXPECT_EQ(shell.exitCode(), 0) << shell.readAllStandardError().toStdString() << "\n"
                                       << command.toStdString();
        EXPECT_EQ(QImage(folder.filePath("label.png")).convertToFormat(QImage::Format_RGB32),
                  QImage(folder.filePath("saved.png")).convertToFormat(QImage::Format_RGB32));
    }
}

}  // namespace
}  // namespace barquill::testing
