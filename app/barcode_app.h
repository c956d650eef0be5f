// SPDX-License-Identifier: MIT
#pragma once
// The application object: runs the main dialog, and the program ends when
// the dialog closes.

#include <QApplication>

namespace barquill::app {

// Names the application for its settings and gives it Barquill's version.
void describeApplication(QCoreApplication& application);

class CBarcodeApp : public QApplication {
    Q_OBJECT
public:
    CBarcodeApp(int& argc, char** argv);

    // Runs the main dialog modally; returns false, as there is nothing to
    // run after it.
    bool InitInstance();
};

}  // namespace barquill::app
