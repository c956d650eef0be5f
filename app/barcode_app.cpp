#include "app/barcode_app.h"

#include "app/main_dialog.h"
#include "resources/dialog_templates.h"

namespace barquill::app {

CBarcodeApp::CBarcodeApp(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Barquill"));
    setApplicationVersion(QString::fromUtf8(barquill::resources::VERSION));
}

bool CBarcodeApp::InitInstance() {
    CMainDialog dialog;
    dialog.exec();
    return false;
}

}  // namespace barquill::app
