// SPDX-License-Identifier: MIT
#include "app/about_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

#include "barquill/barquill.hpp"
#include "resources/resources.h"

namespace barquill::app {

QString versionText() {
    return QString::fromUtf8(version());
}

CAboutDialog::CAboutDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("About Barquill"));
    auto* icon = new QLabel(this);
    icon->setPixmap(QIcon(QString::fromUtf8(resources::ICON_LARGE)).pixmap(32, 32));
    icon->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* name = new QLabel(tr("Barquill %1").arg(versionText()), this);
    name->setObjectName(QStringLiteral("version"));
    auto* about = new QLabel(
        tr("Makes PDF417 barcode symbols.\nLicence: %1").arg(QStringLiteral(BARQUILL_LICENCE)),
        this);
    about->setObjectName(QStringLiteral("licence"));
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(tr("OK"), QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* grid = new QGridLayout(this);
    grid->addWidget(icon, 0, 0, 2, 1);
    grid->addWidget(name, 0, 1);
    grid->addWidget(about, 1, 1);
    grid->addWidget(buttons, 0, 2, 2, 1, Qt::AlignTop);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    grid->setHorizontalSpacing(2 * grid->horizontalSpacing());
}

CAboutDialog::~CAboutDialog() = default;

}  // namespace barquill::app
