// SPDX-License-Identifier: MIT
#include "app/barcode_app.h"

#include "app/about_dialog.h"
#include "app/app_resources.h"
#include "app/main_dialog.h"

namespace barquill::app {

void describeApplication(QCoreApplication& application) {
    application.setApplicationName(QStringLiteral("Barquill"));
    application.setOrganizationName(QStringLiteral("Barquill"));
    application.setApplicationVersion(versionText());
}

CBarcodeApp::CBarcodeApp(int& argc, char** argv) : QApplication(argc, argv) {
    describeApplication(*this);
    installTranslations(QLocale());
}

bool CBarcodeApp::InitInstance() {
    CMainDialog dialog;
    dialog.exec();
    return false;
}

}  // namespace barquill::app
