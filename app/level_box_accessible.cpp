#include "app/level_box_accessible.h"

#include <QAccessibleWidget>
#include <QComboBox>

namespace barquill::app {

namespace {

class NamedComboBox : public QAccessibleWidget {
public:
    explicit NamedComboBox(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override {
        const auto* box = static_cast<const QComboBox*>(widget());
        if (t == QAccessible::Value) return box->currentText();
        if (t == QAccessible::Name && !box->accessibleName().isEmpty())
            return box->accessibleName();
        return QAccessibleWidget::text(t);
    }
};

}  // namespace

QAccessibleInterface* namedComboBoxFactory(const QString&, QObject* object) {
    auto* box = qobject_cast<QComboBox*>(object);
    if (box != nullptr && box->objectName() == QLatin1String(NAMED_COMBO_BOX))
        return new NamedComboBox(box);
    return nullptr;
}

}  // namespace barquill::app
