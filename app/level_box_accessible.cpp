// SPDX-License-Identifier: MIT
#include "app/level_box_accessible.h"

#include <QAccessibleWidget>
#include <QComboBox>

namespace barquill::app {

namespace {

// Also a read-only text interface holding the chosen item: Qt's Linux bridge
// passes a combo box's value text to no one, while screen readers read a
// combo box's text interface as its displayed value.
class NamedComboBox : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit NamedComboBox(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return current();
        if (t == QAccessible::Name && !box()->accessibleName().isEmpty())
            return box()->accessibleName();
        return QAccessibleWidget::text(t);
    }

    QString text(int start, int end) const override { return current().mid(start, end - start); }
    int characterCount() const override { return int(current().size()); }
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    int selectionCount() const override { return 0; }
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* start, int* end) const override {
        *start = *end = 0;
        return {};
    }

private:
    const QComboBox* box() const { return static_cast<const QComboBox*>(widget()); }
    QString current() const { return box()->currentText(); }
};

}  // namespace

QAccessibleInterface* namedComboBoxFactory(const QString&, QObject* object) {
    auto* box = qobject_cast<QComboBox*>(object);
    if (box != nullptr && box->property(NAMED_COMBO_BOX).toBool()) return new NamedComboBox(box);
    return nullptr;
}

}  // namespace barquill::app
