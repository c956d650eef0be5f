// SPDX-License-Identifier: MIT
#pragma once
// Number fields that keep what was typed, in range or not, so that the
// dialog can say next to the field what is wrong instead of dropping
// keystrokes or putting in another number; the arrows step only through the
// values a field takes. Decimal fields take a point or a comma, whatever the
// locale, and show the locale's own separator.

#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSpinBox>
#include <optional>

namespace barquill::app {

// A spin box whose text survives leaving the field and Enter while it is
// out of range: Qt's spin boxes would put the last good value back.
template <class SpinBox>
class KeepsTyped : public SpinBox {
public:
    using SpinBox::SpinBox;

protected:
    void focusOutEvent(QFocusEvent* event) override {
        if (this->hasAcceptableInput()) return SpinBox::focusOutEvent(event);
        QCoreApplication::sendEvent(this->lineEdit(), event);
        QWidget::focusOutEvent(event);
    }
    // Enter goes on to the dialog's default button, which says what is wrong.
    void keyPressEvent(QKeyEvent* event) override {
        const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
        if (enter && !this->hasAcceptableInput()) return event->ignore();
        SpinBox::keyPressEvent(event);
    }
};

class NumberBox : public KeepsTyped<QSpinBox> {
public:
    explicit NumberBox(QWidget* parent = nullptr);

    // Takes whole numbers from `low` to `high`, and 0 shown as
    // `automaticText` ("Auto") when that is given.
    void setAccepted(int low, int high, const QString& automaticText = QString());
    int low() const { return low_; }
    int high() const { return high_; }
    bool takesAutomatic() const { return !specialValueText().isEmpty(); }

    // The number typed, in range or not; 0 for the automatic value; nothing
    // while the field is empty.
    std::optional<long> typed() const;

    void stepBy(int steps) override;

protected:
    QValidator::State validate(QString& text, int& position) const override;
    int valueFromText(const QString& text) const override;
    StepEnabled stepEnabled() const override;

private:
    QString body(const QString& text) const;
    bool inRange(long value) const;

    int low_ = 0;
    int high_ = 99;
};

class DecimalBox : public KeepsTyped<QDoubleSpinBox> {
public:
    explicit DecimalBox(QWidget* parent = nullptr);

    // Takes numbers above `above` up to `high`, with up to `decimals` decimals.
    void setAccepted(double above, double high, int decimals);
    double above() const { return above_; }
    double high() const { return high_; }

    // The number typed, in range or not; nothing while it is not a number.
    std::optional<double> typed() const;

protected:
    QValidator::State validate(QString& text, int& position) const override;
    double valueFromText(const QString& text) const override;
    QString textFromValue(double value) const override;

private:
    QString body(const QString& text) const;

    double above_ = 0;
    double high_ = 1;
};

// A decimal number with "." or "," before its fraction; nothing for any
// other text.
std::optional<double> parseDecimal(const QString& text);

}  // namespace barquill::app
