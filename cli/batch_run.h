// SPDX-License-Identifier: MIT
#pragma once
// A batch: many symbols from one list, written by a pool of worker threads.

#include "cli/request.h"
#include "cli/run.h"

namespace barquill::cli {

// Encodes and writes every item of the list. A failing item is reported with
// its line number and the reason and does not stop the others. Returns 0
// when all were written, 2 when any item could not be encoded, otherwise 3
// when any output could not be written.
int runBatch(const Request& request, const Console& console);

}  // namespace barquill::cli
