// SPDX-License-Identifier: MIT
#pragma once
// The window's own words for the library's errors and for what was built:
// the dialog's captions, never the command line's options, with numbers
// written for the language the window speaks. Every sentence ends with a
// full stop, and no line break falls inside a size such as 406 × 342.

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <optional>

#include "barquill/label.hpp"

namespace barquill::app {

// What a message about a refused shape may offer beyond the error itself.
struct ProblemContext {
    int seriesOffered = 0;  // symbols a series would take, when Split is off
    int lowerLevel = -1;    // the highest lower level at which the data fits
};

class Messages {
    Q_DECLARE_TR_FUNCTIONS(barquill::app::Messages)
public:
    // Why no symbol could be made, and what to change.
    static QString problem(const Error& error, const ProblemContext& context = {});
    // Why a profile refused its field: `label` is the field's name for
    // people, `empty` whether the field was left empty.
    static QString fieldProblem(const Error& error, const QString& label, bool empty);
    // Why a profile refused a setting (`caption`, the dialog's) that breaks its scheme.
    static QString profileConflict(const Error& error, const QString& caption);
    // Why a profile refused the character set chosen.
    static QString profileCharset(const Error& error, const QString& profile);
    // "✓ Verified." or why not.
    static QString verification(const std::optional<Error>& error);
    static QString verifying();
    // The shape, capacity and size of what was built.
    static QString built(const Label& label, qsizetype dataBytes);
    // A scan check of the library, worded for the window: the reason and
    // what to change, in sizes of the render it was made for.
    static QString warning(const Warning& warning, const Render& render);
    // Whether a warning is about the colours, which Save and Print ask about.
    static bool isColourWarning(const Warning& warning);
    static QString stale();
    // "Saved label.png." or "Saved part-01.gif … part-07.gif, 7 files."
    static QString saved(const QStringList& names);
    static QString saveFailure(const Error& error);

    // The dialog's caption of a setting the library names (its field).
    static QString fieldCaption(const QString& field);
    // The values a whole-number field takes: "1 to 30, or Auto".
    static QString wholeRange(long low, long high, const QString& automatic = QString());
    // "Columns must be 1 to 30, or Auto."
    static QString outOfRange(const QString& caption, const QString& range);
    static QString moduleWidthRange();
    static QString aspectValues();

    // Numbers and sizes as the window writes them.
    static QString number(long value);
    static QString decimal(double value, int decimals);
    static QString size(long width, long height);             // "406 × 342", never broken
    static QString millimetres(double width, double height);  // "34.4 × 29.0 mm"
    static QString significant(double value);                 // "0.169", "22.5": three digits
    static QString millimetre(double value);                  // "0.169 mm"
    static QString dpi(long dotsPerInch);                     // "300 dpi"
    static QString dots(long n);                              // "4 dots"
    static QString rows(long n);                              // "1 row", "9 rows"
    static QString dataColumns(long n);                       // "1 data column"
    static QString count(long n, const char* one, const char* many);

private:
    static QString warningReason(const Warning& warning, const Render& render);
    static QString textProblem(const Error& error);
    static QString optionProblem(const Error& error);
    static QString shapeProblem(const Error& error, const ProblemContext& context);
    static QString unfitShape(const ShapeNumbers& shape);
};

}  // namespace barquill::app
