#pragma once
// The about box: the application's icon, name and version.

#include <QDialog>

namespace barquill::app {

class CAboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDialog(QWidget* parent = nullptr);
    ~CAboutDialog() override;
};

}  // namespace barquill::app
