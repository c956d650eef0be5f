// SPDX-License-Identifier: MIT
// Preview latency of the desktop window: one keystroke in the text field
// runs the live preview (encode, draw the picture) and the symbol area is
// painted; reading the symbol back waits for a pause in typing. It must stay well under a 60 Hz
// frame (16 ms) for the preview to run on the user-interface thread without a debounce.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QSpinBox>

#include "app/main_dialog.h"

using barquill::app::CMainDialog;
using barquill::app::DataEdit;

namespace {

QApplication& application() {
    static int argc = 1;
    static char name[] = "bench_app";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}

// Ordinary prose: text compaction with case and punctuation shifts.
QString prose(int length) {
    const QString sentence =
        QStringLiteral("The quick brown fox jumps over the lazy dog, 42 times. ");
    QString text;
    while (text.size() < length) text += sentence;
    return text.left(length);
}

void typeAndPaint(benchmark::State& state, const QString& start, int level, int columns,
                  bool readBack = false) {
    application();
    CMainDialog dialog;
    auto* levels = dialog.findChild<QComboBox*>("level");
    levels->setCurrentIndex(levels->findData(level));
    dialog.findChild<QSpinBox*>("columns")->setValue(columns);
    auto* text = dialog.findChild<DataEdit*>("text");
    text->setText(start);
    text->moveCursor(QTextCursor::End);
    dialog.resize(1400, 800);
    QImage area(dialog.symbolView().size(), QImage::Format_RGB32);
    bool extra = false;
    for (auto _ : state) {
        // One character typed, or taken back: the text stays 1,000 or 1,001 long.
        if (extra)
            text->textCursor().deletePreviousChar();
        else
            text->insertPlainText(QStringLiteral("x"));
        extra = !extra;
        QPainter painter(&area);
        dialog.symbolView().render(&painter);
        // The Verified mark, which otherwise waits for a pause in typing.
        if (readBack) dialog.FinishVerification();
    }
    if (dialog.SymbolCount() == 0) state.SkipWithError("no symbol was built");
    const QImage picture = dialog.SymbolImageAt(0);
    state.counters["pixels"] = double(picture.width()) * picture.height();
}

void BM_PreviewKeystroke1000CharsLevel5(benchmark::State& state) {
    typeAndPaint(state, prose(1000), 5, 0);
}
BENCHMARK(BM_PreviewKeystroke1000CharsLevel5)->Unit(benchmark::kMillisecond);

// The largest symbol: nearly all of the codewords a symbol holds,
// 30 columns wide.
void BM_PreviewKeystrokeLargestSymbol(benchmark::State& state) {
    typeAndPaint(state, QString(2600, QChar('7')), 2, 30);
}
BENCHMARK(BM_PreviewKeystrokeLargestSymbol)->Unit(benchmark::kMillisecond);

// The same keystroke with the symbol read back at once, as after a pause.
void BM_PreviewKeystrokeAndVerify1000CharsLevel5(benchmark::State& state) {
    typeAndPaint(state, prose(1000), 5, 0, true);
}
BENCHMARK(BM_PreviewKeystrokeAndVerify1000CharsLevel5)->Unit(benchmark::kMillisecond);

// A keystroke in a profile's field: the payment slip is built from its
// fields and checked against its scheme before it is encoded.
void BM_PreviewKeystrokeInAPaymentSlipsField(benchmark::State& state) {
    application();
    CMainDialog dialog;
    auto* profiles = dialog.findChild<QComboBox*>("profile");
    profiles->setCurrentIndex(profiles->findData(QStringLiteral("hub3")));
    const std::pair<const char*, const char*> fields[] = {{"amount", "123,45"},
                                                          {"recipient_name", "Vodovod d.o.o."},
                                                          {"iban", "HR1210010051863000160"},
                                                          {"description", "Water, January"}};
    for (const auto& [key, value] : fields)
        dialog.findChild<QLineEdit*>(QStringLiteral("field:") + QLatin1String(key))
            ->setText(QString::fromUtf8(value));
    auto* description = dialog.findChild<QLineEdit*>(QStringLiteral("field:description"));
    dialog.resize(1400, 800);
    QImage area(dialog.symbolView().size(), QImage::Format_RGB32);
    bool extra = false;
    for (auto _ : state) {
        if (extra)
            description->backspace();
        else
            description->insert(QStringLiteral("x"));
        extra = !extra;
        QPainter painter(&area);
        dialog.symbolView().render(&painter);
    }
    if (dialog.SymbolCount() == 0) state.SkipWithError("no symbol was built");
}
BENCHMARK(BM_PreviewKeystrokeInAPaymentSlipsField)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
