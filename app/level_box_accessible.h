#pragma once
// The level box as assistive technology sees it: named by its label
// ("Level") with the chosen level as its value. Qt names a combo box on
// Linux after its current text, which leaves a screen-reader user hearing
// "1" with no idea which setting that is.

class QAccessibleInterface;
class QObject;
class QString;

namespace barquill::app {

// Object name that marks a combo box for this interface.
inline constexpr const char* NAMED_COMBO_BOX = "barquillNamedComboBox";

// An accessibility factory for QAccessible::installFactory.
QAccessibleInterface* namedComboBoxFactory(const QString& className, QObject* object);

}  // namespace barquill::app
