#include "app/dialog_layout.h"

#include <QComboBox>
#include <QDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

// Resources of a static library are registered by hand, outside any namespace.
static void registerResources() {
    Q_INIT_RESOURCE(barquill);
}

namespace barquill::app {

using resources::ControlKind;
using resources::ControlTemplate;
using resources::DialogTemplate;

namespace {

// Rounded a × b / c, as dialog units are scaled.
int mulDiv(int a, int b, int c) {
    const long long p = (long long)a * b;
    return int((p >= 0 ? p + c / 2 : p - c / 2) / c);
}

QWidget* createControl(const ControlTemplate& control, QWidget* parent, bool& defaultTaken) {
    const QString caption = QString::fromUtf8(control.caption);
    switch (control.kind) {
        case ControlKind::PushButton:
        case ControlKind::DefaultPushButton: {
            auto* button = new QPushButton(caption, parent);
            button->setAutoDefault(true);
            // The first default button of the template is the dialog's default.
            if (control.kind == ControlKind::DefaultPushButton && !defaultTaken) {
                button->setDefault(true);
                defaultTaken = true;
            }
            return button;
        }
        case ControlKind::GroupBox:
            return new QGroupBox(caption, parent);
        case ControlKind::Label:
            return new QLabel(caption, parent);
        case ControlKind::DropDownCombo: {
            auto* combo = new QComboBox(parent);
            combo->setEditable(true);
            combo->setInsertPolicy(QComboBox::NoInsert);
            return combo;
        }
        case ControlKind::Edit:
            return new QLineEdit(parent);
        case ControlKind::Icon: {
            auto* icon = new QLabel(parent);
            icon->setPixmap(QIcon(resources::ICON_LARGE).pixmap(32, 32));
            icon->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            return icon;
        }
        case ControlKind::ColorButton:
            break;  // always a member of its dialog
    }
    return nullptr;
}

}  // namespace

DialogUnits::DialogUnits(const QFont& font) {
    // The platform's rule: the average width of the 52 Latin letters, rounded,
    // and the full character height.
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    baseX_ = std::max(1, (letters / 26 + 1) / 2);
    baseY_ = std::max(1, metrics.height());
}

int DialogUnits::toPixelsX(int units) const {
    return mulDiv(units, baseX_, 4);
}
int DialogUnits::toPixelsY(int units) const {
    return mulDiv(units, baseY_, 8);
}

QRect DialogUnits::toPixels(int x, int y, int width, int height) const {
    return QRect(toPixelsX(x), toPixelsY(y), toPixelsX(width), toPixelsY(height));
}

QFont dialogFont(const DialogTemplate& dialogTemplate) {
    QFont font;
    font.setFamilies({QString::fromUtf8(dialogTemplate.fontFace), QStringLiteral("SimSun"),
                      QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC")});
    font.setPointSize(dialogTemplate.pointSize);
    return font;
}

void loadResources() {
    static const bool loaded = (registerResources(), true);
    (void)loaded;
}

QHash<int, QWidget*> layoutDialog(QDialog* dialog, const DialogTemplate& dialogTemplate,
                                  const QHash<int, QWidget*>& bound) {
    loadResources();
    dialog->setWindowTitle(QString::fromUtf8(dialogTemplate.caption));
    dialog->setFont(dialogFont(dialogTemplate));
    const DialogUnits units(dialog->font());
    dialog->setFixedSize(units.toPixelsX(dialogTemplate.width),
                         units.toPixelsY(dialogTemplate.height));

    QHash<int, QWidget*> controls;
    QWidget* previousTabStop = nullptr;
    bool defaultTaken = false;
    for (const ControlTemplate& control : dialogTemplate.controls) {
        QWidget* widget = bound.value(control.id, nullptr);
        if (widget == nullptr) widget = createControl(control, dialog, defaultTaken);
        if (widget == nullptr) continue;
        if (widget->parentWidget() != dialog) widget->setParent(dialog);
        widget->setGeometry(units.toPixels(control.x, control.y, control.width, control.height));
        widget->raise();  // later controls lie above earlier ones
        widget->show();
        if (control.id != resources::IDC_STATIC) controls.insert(control.id, widget);
        if (widget->focusPolicy() & Qt::TabFocus) {
            if (previousTabStop != nullptr) QWidget::setTabOrder(previousTabStop, widget);
            previousTabStop = widget;
        }
    }
    return controls;
}

}  // namespace barquill::app
