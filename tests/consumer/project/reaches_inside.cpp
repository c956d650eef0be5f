// SPDX-License-Identifier: MIT
#include "encoder/pdf417.h"

int main() {
    return barquill::encoder::MAX_ROWS;
}
