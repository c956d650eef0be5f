#include "app/barcode_app.h"

int main(int argc, char** argv) {
    barquill::app::CBarcodeApp app(argc, argv);
    app.InitInstance();
    return 0;
}
