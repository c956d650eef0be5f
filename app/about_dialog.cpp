#include "app/about_dialog.h"

#include <QPushButton>

#include "app/dialog_layout.h"

namespace barquill::app {

CAboutDialog::CAboutDialog(QWidget* parent) : QDialog(parent) {
    const auto controls = barquill::app::layoutDialog(this, barquill::resources::ABOUT_DIALOG, {});
    if (auto* ok = qobject_cast<QPushButton*>(controls.value(barquill::resources::IDOK)))
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

CAboutDialog::~CAboutDialog() = default;

}  // namespace barquill::app
