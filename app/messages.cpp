// SPDX-License-Identifier: MIT
#include "app/messages.h"

#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "app/app_resources.h"

namespace barquill::app {

namespace {

constexpr QChar NO_BREAK(0x00A0);

// A size or an amount with its unit, which a line never breaks.
QString unbroken(QString text) {
    return text.replace(QLatin1Char(' '), NO_BREAK);
}

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// "3, 5 to 9": the column counts of a mask, bit c for c columns.
QString columnList(std::uint32_t mask) {
    QStringList parts;
    for (int c = 1; c <= maxColumns; ++c) {
        if (!(mask & (1u << c))) continue;
        int last = c;
        while (last < maxColumns && (mask & (1u << (last + 1)))) ++last;
        if (last == c)
            parts << Messages::number(c);
        else if (last == c + 1)
            parts << Messages::number(c) << Messages::number(last);
        else
            parts << QCoreApplication::translate("barquill::app::Messages", "%1 to %2")
                         .arg(Messages::number(c), Messages::number(last));
        c = last;
    }
    return parts.join(QStringLiteral(", "));
}

}  // namespace

QString Messages::number(long value) {
    return uiLocale().toString(qlonglong(value));
}

QString Messages::decimal(double value, int decimals) {
    return uiLocale().toString(value, 'f', decimals);
}

QString Messages::size(long width, long height) {
    return unbroken(tr("%1 × %2").arg(number(width), number(height)));
}

QString Messages::millimetres(double width, double height) {
    return unbroken(tr("%1 × %2 mm").arg(decimal(width, 1), decimal(height, 1)));
}

QString Messages::significant(double value) {
    const double magnitude = std::floor(std::log10(std::max(std::abs(value), 1e-3)));
    const int decimals = std::clamp(2 - int(magnitude), 0, 3);
    QString text = uiLocale().toString(value, 'f', decimals);
    const QString point = uiLocale().decimalPoint();
    if (text.contains(point)) {
        while (text.endsWith(QLatin1Char('0'))) text.chop(1);
        if (text.endsWith(point)) text.chop(point.size());
    }
    return text;
}

QString Messages::millimetre(double value) {
    return unbroken(tr("%1 mm").arg(significant(value)));
}

QString Messages::dpi(long dotsPerInch) {
    return unbroken(tr("%1 dpi").arg(number(dotsPerInch)));
}

QString Messages::rows(long n) {
    return count(n, QT_TR_NOOP("1 row"), QT_TR_NOOP("%1 rows"));
}

QString Messages::dataColumns(long n) {
    return count(n, QT_TR_NOOP("1 data column"), QT_TR_NOOP("%1 data columns"));
}

QString Messages::dots(long n) {
    return count(n, QT_TR_NOOP("1 dot"), QT_TR_NOOP("%1 dots"));
}

QString Messages::count(long n, const char* one, const char* many) {
    return n == 1 ? tr(one) : tr(many).arg(number(n));
}

QString Messages::fieldCaption(const QString& field) {
    if (field == QLatin1String("columns")) return tr("Columns");
    if (field == QLatin1String("rows")) return tr("Rows");
    if (field == QLatin1String("quietZone")) return tr("Margin");
    if (field == QLatin1String("moduleMm")) return tr("Module width");
    if (field == QLatin1String("dpi")) return tr("Resolution");
    if (field == QLatin1String("aspect")) return tr("Aspect ratio");
    if (field == QLatin1String("level")) return tr("Level");
    if (field == QLatin1String("charset")) return tr("Character set");
    return field;
}

QString Messages::wholeRange(long low, long high, const QString& automatic) {
    return automatic.isEmpty() ? tr("%1 to %2").arg(number(low), number(high))
                               : tr("%1 to %2, or %3").arg(number(low), number(high), automatic);
}

QString Messages::outOfRange(const QString& caption, const QString& range) {
    return tr("%1 must be %2.").arg(caption, range);
}

QString Messages::moduleWidthRange() {
    return tr("more than 0 and at most %1")
        .arg(unbroken(tr("%1 mm").arg(number(long(maxModuleMm)))));
}

QString Messages::aspectValues() {
    return tr("a ratio of width to height such as 3:1 or 1:2, or a number such as 2.5, up to %1:1 "
              "either way; empty for none")
        .arg(number(long(maxAspect)));
}

QString Messages::problem(const Error& e, const ProblemContext& context) {
    switch (e.code) {
        case ErrorCode::emptyData:
            return tr(
                "The text is empty: type the data to encode (readers reject a symbol "
                "without data).");
        case ErrorCode::invalidEscape:
        case ErrorCode::invalidText:
            return textProblem(e);
        case ErrorCode::dataTooLong:
        case ErrorCode::columnsDoNotFit:
        case ErrorCode::shapeDoesNotFit:
            return shapeProblem(e, context);
        case ErrorCode::seriesTooShort:
            return tr("More symbols than bytes of data were asked for.");
        case ErrorCode::conflictingOptions:
        case ErrorCode::invalidOption:
        case ErrorCode::invalidRender:
            return optionProblem(e);
        case ErrorCode::renderFailed:
            return tr("The picture could not be made: there is not enough memory.");
        case ErrorCode::notVerified:
        case ErrorCode::verifyUnavailable:
            return verification(e);
        default:
            return saveFailure(e);
    }
}

QString Messages::textProblem(const Error& e) {
    if (e.code == ErrorCode::invalidEscape)
        return tr("Text: “%1” at character %2 is no escape; escapes are \\n, \\r, \\t, \\\\ "
                  "and \\xHH. Turn Escapes off to encode backslashes as they are.")
            .arg(fromUtf8(e.given), number(e.value));
    if (!e.character.empty())
        return tr("Text: “%1” (character %2) has no %3 form: choose UTF-8%4 as the character "
                  "set.")
            .arg(fromUtf8(e.character), number(e.value), fromUtf8(e.given),
                 e.suggestion.empty() ? QString() : tr(" or %1").arg(fromUtf8(e.suggestion)));
    if (e.value > 0)
        return tr("The data is not UTF-8 text (byte %1), so it cannot be converted into %2: "
                  "choose None to encode the bytes as they are.")
            .arg(number(e.value), fromUtf8(e.given));
    return tr("This system cannot convert text into %1: choose another character set.")
        .arg(fromUtf8(e.given));
}

QString Messages::optionProblem(const Error& e) {
    if (e.code == ErrorCode::conflictingOptions) {
        if (e.field == "aspect")
            return tr(
                "An aspect ratio chooses the columns itself: set Rows and Columns to Auto, "
                "or clear the aspect ratio.");
        if (e.field == "bar" || e.field == "space")
            return tr(
                "Bars and background have the same color: no reader could see the bars. "
                "Choose another color.");
        return fromUtf8(e.message);
    }
    if (e.field == "moduleMm" && e.needed > 0)
        return tr("A module of this width is %1 printer dots at this resolution; at most %2 are "
                  "drawn: choose a narrower module or a lower resolution.")
            .arg(number(e.needed), number(e.available));
    if (e.field == "moduleMm") return outOfRange(tr("Module width"), moduleWidthRange());
    if (e.field == "aspect") return outOfRange(tr("Aspect ratio"), aspectValues());
    if (e.maximum > e.minimum)
        return outOfRange(fieldCaption(fromUtf8(e.field)), wholeRange(e.minimum, e.maximum));
    return fromUtf8(e.message);
}

QString Messages::shapeProblem(const Error& e, const ProblemContext& context) {
    const ShapeNumbers& s = e.shape;
    const QString lower =
        context.lowerLevel >= 0
            ? QLatin1Char(' ') + tr("Level %1 or lower fits.").arg(number(context.lowerLevel))
            : QString();
    if (s.segments != 0)
        return tr("The data cannot be split into symbols of this level and shape: even the "
                  "largest part needs %1 data codewords with its control block, and level %2 adds "
                  "%3 for error correction. Choose more rows or columns, or Auto.")
                   .arg(number(s.dataCodewords), number(s.level),
                        number(s.errorCorrectionCodewords)) +
               lower;
    const QString series =
        context.seriesOffered > 1
            ? QLatin1Char(' ') + tr("Or split the data into a Macro PDF417 series of %1 symbols.")
                                     .arg(number(context.seriesOffered))
            : QString();
    switch (e.code) {
        case ErrorCode::dataTooLong:
            if (s.dataCodewords < 0)
                return tr("The text is %1 bytes long; one symbol takes at most %2: shorten the "
                          "text.")
                           .arg(number(e.needed), number(e.available)) +
                       series;
            return tr("Needs %1 codewords at level %2; a symbol holds at most %3: shorten the "
                      "text%4.")
                       .arg(number(e.needed), number(s.level), number(e.available),
                            context.lowerLevel >= 0 ? tr(" or lower the level") : QString()) +
                   lower + series;
        case ErrorCode::columnsDoNotFit:
            return tr("Needs %1 at %2; a symbol has at most %3: choose more columns or Auto.")
                       .arg(rows(s.rowsAtColumns), dataColumns(s.columns), rows(maxRows)) +
                   (s.fittingColumns != 0
                        ? QLatin1Char(' ') +
                              tr("Columns that fit: %1.").arg(columnList(s.fittingColumns))
                        : QString()) +
                   lower;
        default:
            return unfitShape(s) + lower;
    }
}

// The library chooses the shapes to advise; the columns varied are said first.
QString Messages::unfitShape(const ShapeNumbers& s) {
    QStringList fits;
    for (const Shape& shape : fittingShapes(s))
        fits << (shape.rows == s.rows
                     ? tr("%1 at %2").arg(dataColumns(shape.columns), rows(shape.rows))
                     : tr("%1 at %2").arg(rows(shape.rows), dataColumns(shape.columns)));
    const QString shape = s.columns != 0
                              ? tr("%1 of %2").arg(rows(s.rows), dataColumns(s.columns))
                              : tr("%1 of up to %2").arg(rows(s.rows), dataColumns(maxColumns));
    const QString start =
        tr("The data does not fit %1 at level %2.").arg(shape, number(s.level)) + QLatin1Char(' ');
    if (fits.isEmpty()) return start + tr("Give more rows or columns, or set them to Auto.");
    return start + tr("It needs %1. Change Rows or Columns, or set them to Auto.")
                       .arg(fits.join(tr(", or ")));
}

QString Messages::fieldProblem(const Error& e, const QString& label, bool empty) {
    const QString rule = fromUtf8(e.given);
    if (empty) return tr("%1 is required.").arg(label);
    if (rule.isEmpty()) return tr("%1 is not a field of this profile.").arg(label);
    if (!e.character.empty())
        return tr("%1: “%2” (character %3) has no form in the data's character set. Choose "
                  "UTF-8 as the character set, or leave it out.")
            .arg(label, fromUtf8(e.character), number(e.value));
    if (e.value > 0)
        return tr("%1 must be %2; character %3 breaks it.").arg(label, rule, number(e.value));
    return tr("%1 must be %2.").arg(label, rule);
}

QString Messages::profileConflict(const Error& e, const QString& caption) {
    const QString rule = fromUtf8(e.given);
    if (e.field == "level" || e.field == "columns")
        return tr("%1: the profile requires %2. Choose Auto to follow it.").arg(caption, rule);
    if (e.field == "quietZone")
        return tr("%1: the profile requires %2. Widen the margin.").arg(caption, rule);
    return tr("%1: the profile requires %2.").arg(caption, rule);
}

QString Messages::profileCharset(const Error& e, const QString& profile) {
    return tr("The %1 profile takes no character set %2: choose Auto for the scheme's own.")
        .arg(profile, fromUtf8(e.given));
}

QString Messages::verifying() {
    return tr("Verifying...");
}

QString Messages::verification(const std::optional<Error>& error) {
    if (!error) return tr("✓ Verified.");
    if (error->code == ErrorCode::verifyUnavailable)
        return tr("Not verified: this build has no reader.");
    const QString which =
        error->symbol >= 0 ? tr("symbol %1: ").arg(number(error->symbol + 1)) : QString();
    if (error->mismatch == Mismatch::notFound)
        return tr("Not verified (%1the reader finds no symbol): check the colors.").arg(which);
    return tr("Not verified (%1the reader gets other data than the text).").arg(which);
}

QString Messages::built(const Label& label, qsizetype dataBytes) {
    const Symbol& first = label.symbols.front();
    const Render& render = label.render;
    const PictureSize picture = pictureSize(first, render);
    const QString shape =
        tr("%1 × %2, level %3")
            .arg(rows(first.rows()), dataColumns(first.columns()), number(first.level()));
    QString pixels = tr("%1 pixels").arg(size(picture.width, picture.height));
    if (render.dpi > 0)
        pixels = tr("%1, %2 at %3")
                     .arg(pixels,
                          millimetres(dotsToMm(picture.width, render.dpi),
                                      dotsToMm(picture.height, render.dpi)),
                          dpi(render.dpi));
    if (label.symbols.size() > 1)
        return tr("A Macro PDF417 series of %1 symbols, each %2; %3 bytes of data; %4 each.")
            .arg(number(long(label.symbols.size())), shape, number(long(dataBytes)), pixels);
    const long percent =
        first.capacity() > 0
            ? (long(first.dataCodewords()) * 100 + first.capacity() / 2) / first.capacity()
            : 0;
    return tr("%1; %2 of %3 data codewords (%4%); %5.")
        .arg(shape, number(first.dataCodewords()), number(first.capacity()), number(percent),
             pixels);
}

QString Messages::warning(const Warning& w, const Render& render) {
    const QString reason = warningReason(w, render);
    return w.symbol >= 0 ? tr("Symbol %1: %2").arg(number(w.symbol + 1), reason) : reason;
}

bool Messages::isColourWarning(const Warning& w) {
    const std::optional<WarningKind> kind = warningKind(w.id);
    return kind == WarningKind::contrast || kind == WarningKind::lightBars;
}

QString Messages::warningReason(const Warning& w, const Render& render) {
    const long value = std::lround(w.value), limit = std::lround(w.limit);
    // Sizes are pixels on screen and printer dots with a resolution.
    const auto sized = [&](long n) {
        return render.dpi > 0 ? dots(n) : count(n, QT_TR_NOOP("1 pixel"), QT_TR_NOOP("%1 pixels"));
    };
    // By kind, not by id text: the library maps its ids to kinds.
    const std::optional<WarningKind> kind = warningKind(w.id);
    if (kind == WarningKind::compact)
        return tr(
            "The symbol is compact: phone cameras and many scanners do not read it. Use the "
            "full form.");
    if (kind == WarningKind::lowLevel)
        return tr("Level %1 is below the %2 recommended for this much data: a scratch or a poor "
                  "print may make it unreadable. Choose level %2 or higher.")
            .arg(number(value), number(limit));
    if (kind == WarningKind::wide)
        return tr("%1 make the symbol wider than many scanners take in at once. Choose at most %2 "
                  "columns.")
            .arg(dataColumns(value), number(limit));
    if (kind == WarningKind::thinModule)
        return tr("A module is only %1 wide: with fewer than %2, bars print unevenly. Choose a "
                  "wider module or a higher resolution.")
            .arg(count(value, QT_TR_NOOP("1 printer dot"), QT_TR_NOOP("%1 printer dots")),
                 dots(limit));
    if (kind == WarningKind::lowRows)
        return tr("Rows are only %1 high, less than three module widths (%2): print blur and a "
                  "tilted scanner make them hard to read.")
            .arg(sized(value), sized(limit));
    if (kind == WarningKind::quietZone)
        return tr("The margin is %1, less than two modules (%2): readers need clear space to find "
                  "the symbol's edges. Widen the margin.")
            .arg(sized(value), sized(limit));
    if (kind == WarningKind::contrast)
        // Rounded down, so a contrast just below the limit never reads as it.
        return tr("The colors differ too little for readers (contrast %1:1; at least %2:1 is "
                  "needed): choose darker bars or a lighter background.")
            .arg(decimal(std::floor(w.value * 10) / 10, 1), decimal(w.limit, 0));
    if (kind == WarningKind::lightBars)
        return tr(
            "The bars are lighter than the background: most readers expect dark bars on a light "
            "background.");
    if (kind == WarningKind::noEci)
        return tr(
            "The text goes beyond ASCII, but no ECI tells readers its character set, so each "
            "reader guesses. Choose Auto or a named character set.");
    if (kind == WarningKind::longSeries)
        return tr("The series has %1 symbols: scanning more than %2 is slow, and one is easily "
                  "missed. Choose a lower level or more columns, so that fewer symbols hold the "
                  "data.")
            .arg(number(value), number(limit));
    if (kind == WarningKind::transliterated)
        return tr("%1 in plain ASCII letters for older readers (č as c).")
            .arg(count(value, QT_TR_NOOP("1 letter is written"),
                       QT_TR_NOOP("%1 letters are written")));
    if (kind == WarningKind::dataLooksUtf8)
        return tr(
            "The data reads as UTF-8, but the scheme expects ISO-8859-1: save the document "
            "in ISO-8859-1 and load it as it is.");
    if (kind == WarningKind::moduleTooNarrow)
        return tr("Modules %1 wide are narrower than the %2 the scheme advises: choose a wider "
                  "module.")
            .arg(millimetre(w.value), millimetre(w.limit));
    if (kind == WarningKind::moduleTooWide)
        return tr("Modules %1 wide are wider than the %2 the scheme advises: choose a narrower "
                  "module.")
            .arg(millimetre(w.value), millimetre(w.limit));
    if (kind == WarningKind::rowsTooLow)
        return tr("Rows %1 module widths high are lower than the %2 the scheme advises.")
            .arg(significant(w.value), significant(w.limit));
    // A check newer than the window: the library's own words, as a sentence.
    QString sentence = fromUtf8(w.message);
    if (!w.change.empty()) sentence += QStringLiteral("; ") + fromUtf8(w.change);
    if (!sentence.isEmpty()) sentence[0] = sentence[0].toUpper();
    return sentence + QLatin1Char('.');
}

QString Messages::stale() {
    return tr(
        "Outdated: the text or options changed after this symbol was made; press Encode "
        "to update it.");
}

QString Messages::saved(const QStringList& names) {
    if (names.isEmpty()) return {};
    const QString first = QFileInfo(names.front()).fileName();
    if (names.size() == 1) return tr("Saved %1.").arg(first);
    return tr("Saved %1 … %2, %3 files.")
        .arg(first, QFileInfo(names.back()).fileName(), number(long(names.size())));
}

QString Messages::saveFailure(const Error& e) {
    const QString path = QString::fromLocal8Bit(e.path.data(), qsizetype(e.path.size()));
    switch (e.code) {
        case ErrorCode::readOnly:
            return tr("%1 is read-only; it was left as it is.").arg(path);
        case ErrorCode::writeFailed:
            return tr("Could not save %1:\n%2")
                .arg(path, QString::fromLocal8Bit(std::strerror(int(e.value))));
        case ErrorCode::renderFailed:
            return tr("The picture could not be made: there is not enough memory.");
        case ErrorCode::notOnPage:
            return tr(
                "The symbol does not fit the page at this position: move it or choose a "
                "larger page.");
        case ErrorCode::notVerified:
            return tr("Nothing was saved: %1.").arg(fromUtf8(e.message));
        default:
            return fromUtf8(e.message);
    }
}

}  // namespace barquill::app
