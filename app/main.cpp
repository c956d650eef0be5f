// SPDX-License-Identifier: MIT
#include "app/barcode_app.h"
#include "barquill/files.hpp"

int main(int argc, char** argv) {
    // A file being saved when the program is stopped is never left half-named.
    barquill::installTerminationGuard();
    barquill::app::CBarcodeApp app(argc, argv);
    app.InitInstance();
    return 0;
}
