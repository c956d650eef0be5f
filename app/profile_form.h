// SPDX-License-Identifier: MIT
#pragma once
// An application profile's fields as a form: a labelled line for each named
// field, required ones marked, its rule as the tool tip and its error beside
// it; and, for a profile that takes a family of keys beyond its named
// fields (a licence's further elements, a boarding pass's further legs), a
// box of KEY=VALUE lines. A profile's whole document (a tax stamp, an
// invoice) is not here: the window's Text field holds it.

#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QString>

#include "barquill/profiles.hpp"

class QGridLayout;

namespace barquill::app {

class ProfileForm : public QScrollArea {
    Q_OBJECT
public:
    explicit ProfileForm(QWidget* parent = nullptr);

    // The form of `profile`'s fields, empty, or none at all.
    void setProfile(const std::optional<ProfileInfo>& profile);
    bool hasFields() const { return !m_lines.isEmpty() || m_more != nullptr; }

    // The fields given, in the form's order: named fields with a value, then
    // the lines of the box.
    Fields fields() const;
    // What was typed, by key (the box's under its key's pattern), to keep.
    QHash<QString, QString> values() const;
    void setValues(const QHash<QString, QString>& values);

    // The name people know a field by, or the key itself.
    QString labelOf(const QString& key) const;
    // Whether `key` is a named field left empty.
    bool isEmpty(const QString& key) const;
    // Shows `problem` beside the field `key`, or beside the box when the
    // box holds it; false when neither does.
    bool showProblem(const QString& key, const QString& problem, const QColor& colour);
    void clearProblems();

    // The inputs in the order Tab visits them.
    QList<QWidget*> inputs() const;

    // Room for this many rows of fields; more scroll.
    static constexpr int SHOWN_ROWS = 5;
    QSize sizeHint() const override;

signals:
    void changed();

private:
    struct Line {
        ProfileField field;
        QLineEdit* edit = nullptr;
        QLabel* error = nullptr;
    };
    void AddLine(QGridLayout* grid, const ProfileField& field, int row, int column);
    void AddMore(QGridLayout* grid, const ProfileField& field, int row);
    QLabel* AddError(QGridLayout* grid, const QString& key, int row, int column, int span);
    void SetProblem(QWidget& input, QLabel& error, const QString& tip, const QString& problem,
                    const QColor& colour);

    QList<Line> m_lines;
    ProfileField m_moreField;
    QPlainTextEdit* m_more = nullptr;  // the family of keys, a KEY=VALUE a line
    QLabel* m_moreError = nullptr;
    int m_rowHeight = 0;
};

}  // namespace barquill::app
