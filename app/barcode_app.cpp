#include "app/barcode_app.h"

#include "app/about_dialog.h"
#include "app/app_resources.h"
#include "app/main_dialog.h"

namespace barquill::app {

CBarcodeApp::CBarcodeApp(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Barquill"));
    setOrganizationName(QStringLiteral("Barquill"));
    setApplicationVersion(applicationVersion());
    installTranslations(QLocale());
}

bool CBarcodeApp::InitInstance() {
    CMainDialog dialog;
    dialog.exec();
    return false;
}

}  // namespace barquill::app
