// SPDX-License-Identifier: MIT
#pragma once
// The level and character-set boxes as assistive technology sees them: named
// by their labels ("Level") with the chosen item as their value. Qt names a
// combo box on Linux after its current text, which leaves a screen-reader user
// hearing "1" or "Auto" with no idea which setting that is.

class QAccessibleInterface;
class QObject;
class QString;

namespace barquill::app {

// The dynamic property (true) that marks a combo box for this interface.
inline constexpr const char* NAMED_COMBO_BOX = "barquillNamedComboBox";

// An accessibility factory for QAccessible::installFactory.
QAccessibleInterface* namedComboBoxFactory(const QString& className, QObject* object);

}  // namespace barquill::app
