#pragma once
// The about box: the application's icon, name, version and licence.

#include <QDialog>

namespace barquill::app {

// The version the build was made as, from the project's one version number.
QString applicationVersion();

class CAboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDialog(QWidget* parent = nullptr);
    ~CAboutDialog() override;
};

}  // namespace barquill::app
