// SPDX-License-Identifier: MIT
#include "app/number_box.h"

#include <algorithm>
#include <cmath>

namespace barquill::app {

namespace {

// More digits than any field's range needs: longer text is not a number
// worth holding.
constexpr int MAX_DIGITS = 9;

QString withoutAffixes(const QString& text, const QString& prefix, const QString& suffix) {
    QString body = text;
    if (!suffix.isEmpty() && body.endsWith(suffix)) body.chop(suffix.size());
    if (!prefix.isEmpty() && body.startsWith(prefix)) body.remove(0, prefix.size());
    return body.trimmed();
}

std::optional<long> parseWhole(const QString& text) {
    if (text.isEmpty() || text.size() > MAX_DIGITS) return std::nullopt;
    long value = 0;
    for (QChar c : text) {
        if (!c.isDigit()) return std::nullopt;
        value = value * 10 + c.digitValue();
    }
    return value;
}

}  // namespace

std::optional<double> parseDecimal(const QString& text) {
    QString plain = text.trimmed();
    plain.replace(QLatin1Char(','), QLatin1Char('.'));
    if (plain.isEmpty() || plain.size() > 2 * MAX_DIGITS || plain.count(QLatin1Char('.')) > 1)
        return std::nullopt;
    for (QChar c : plain)
        if (c != QLatin1Char('.') && !(c >= QLatin1Char('0') && c <= QLatin1Char('9')))
            return std::nullopt;
    if (plain == QLatin1String(".")) return std::nullopt;
    bool ok = false;
    const double value = QLocale::c().toDouble(plain, &ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

NumberBox::NumberBox(QWidget* parent) : KeepsTyped<QSpinBox>(parent) {
    setGroupSeparatorShown(false);
}

void NumberBox::setAccepted(int low, int high, const QString& automaticText) {
    low_ = low;
    high_ = high;
    setSpecialValueText(automaticText);
    setRange(automaticText.isEmpty() ? low : 0, high);
}

QString NumberBox::body(const QString& text) const {
    return withoutAffixes(text, prefix(), suffix());
}

bool NumberBox::inRange(long value) const {
    return (takesAutomatic() && value == 0) || (value >= low_ && value <= high_);
}

std::optional<long> NumberBox::typed() const {
    if (takesAutomatic() && text() == specialValueText()) return 0;
    return parseWhole(body(text()));
}

QValidator::State NumberBox::validate(QString& text, int&) const {
    if (takesAutomatic() && text.compare(specialValueText(), Qt::CaseInsensitive) == 0)
        return QValidator::Acceptable;
    const QString typedBody = body(text);
    if (typedBody.isEmpty()) return QValidator::Intermediate;
    if (takesAutomatic() && specialValueText().startsWith(typedBody, Qt::CaseInsensitive))
        return QValidator::Intermediate;
    const std::optional<long> value = parseWhole(typedBody);
    if (!value) return QValidator::Invalid;
    return inRange(*value) ? QValidator::Acceptable : QValidator::Intermediate;
}

int NumberBox::valueFromText(const QString& text) const {
    if (takesAutomatic() && text.compare(specialValueText(), Qt::CaseInsensitive) == 0) return 0;
    return int(
        std::clamp(parseWhole(body(text)).value_or(value()), long(minimum()), long(maximum())));
}

void NumberBox::stepBy(int steps) {
    long start = std::clamp(typed().value_or(value()), long(minimum()), long(high_));
    long next = start + steps;
    if (takesAutomatic()) {
        // Auto sits just below the lowest number.
        if (start == 0) next = steps > 0 ? low_ + steps - 1 : 0;
        if (next < low_) next = 0;
    }
    setValue(int(std::clamp(next, long(minimum()), long(high_))));
    selectAll();
}

QAbstractSpinBox::StepEnabled NumberBox::stepEnabled() const {
    const long current = typed().value_or(value());
    StepEnabled enabled = StepNone;
    if (current < high_) enabled |= StepUpEnabled;
    if (current > minimum()) enabled |= StepDownEnabled;
    return enabled;
}

DecimalBox::DecimalBox(QWidget* parent) : KeepsTyped<QDoubleSpinBox>(parent) {
    setGroupSeparatorShown(false);
}

void DecimalBox::setAccepted(double above, double high, int decimals) {
    above_ = above;
    high_ = high;
    setDecimals(decimals);
    setRange(above + std::pow(10.0, -decimals), high);
}

QString DecimalBox::body(const QString& text) const {
    return withoutAffixes(text, prefix(), suffix());
}

std::optional<double> DecimalBox::typed() const {
    return parseDecimal(body(text()));
}

QValidator::State DecimalBox::validate(QString& text, int&) const {
    const QString typedBody = body(text);
    if (typedBody.isEmpty()) return QValidator::Intermediate;
    QString plain = typedBody;
    plain.replace(QLatin1Char(','), QLatin1Char('.'));
    const qsizetype point = plain.indexOf(QLatin1Char('.'));
    if (point >= 0 && plain.size() - point - 1 > decimals()) return QValidator::Invalid;
    if (plain.endsWith(QLatin1Char('.'))) plain.chop(1);
    if (plain.isEmpty()) return QValidator::Intermediate;
    const std::optional<double> value = parseDecimal(plain);
    if (!value) return QValidator::Invalid;
    return *value > above_ && *value <= high_ ? QValidator::Acceptable : QValidator::Intermediate;
}

double DecimalBox::valueFromText(const QString& text) const {
    return std::clamp(parseDecimal(body(text)).value_or(value()), minimum(), maximum());
}

QString DecimalBox::textFromValue(double value) const {
    // Trailing zeros go, down to two decimals: 0.33 and 0.254, not 0.330.
    QString text = locale().toString(value, 'f', decimals());
    const QChar point = locale().decimalPoint().front();
    const qsizetype at = text.indexOf(point);
    if (at >= 0)
        while (text.size() > at + 3 && text.endsWith(QLatin1Char('0'))) text.chop(1);
    return text;
}

}  // namespace barquill::app
