// SPDX-License-Identifier: MIT
#pragma once
// The about box: the application's icon, name, version and licence.

#include <QDialog>

namespace barquill::app {

// The library's version, the project's one version number.
QString versionText();

class CAboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDialog(QWidget* parent = nullptr);
    ~CAboutDialog() override;
};

}  // namespace barquill::app
