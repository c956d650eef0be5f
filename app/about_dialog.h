#pragma once
// The about box: the application's icon, name and version.

#include <QDialog>

class CAboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDialog(QWidget* parent = nullptr);
    ~CAboutDialog() override;
};
