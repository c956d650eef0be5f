#pragma once
// Lays a dialog out from its template: dialog units converted to pixels with
// the metrics of the dialog's font, controls created in template order, which
// is also their tab and stacking order.

#include <QFont>
#include <QHash>
#include <QRect>

#include "resources/dialog_templates.h"

class QDialog;
class QWidget;

namespace barquill::app {

// Dialog units: a quarter of the font's average character width across, an
// eighth of its height down.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);

    int baseX() const { return baseX_; }
    int baseY() const { return baseY_; }
    int toPixelsX(int units) const;
    int toPixelsY(int units) const;
    QRect toPixels(int x, int y, int width, int height) const;

private:
    int baseX_;
    int baseY_;
};

// Makes the icons and other built-in resources available; idempotent.
void loadResources();

// The template's font; when its face is not installed, a font that shows the
// same Chinese captions stands in.
QFont dialogFont(const resources::DialogTemplate& dialogTemplate);

// Sets the dialog's caption, font and fixed size and places its controls.
// Controls whose id is in `bound` are the dialog's own members and are placed
// as they are; the others are created. Returns every control with an id.
QHash<int, QWidget*> layoutDialog(QDialog* dialog, const resources::DialogTemplate& dialogTemplate,
                                  const QHash<int, QWidget*>& bound);

}  // namespace barquill::app
