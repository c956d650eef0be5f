// SPDX-License-Identifier: MIT
#pragma once
// The stable names of an explanation's kinds, as its renderings print them.

#include "encoder/explanation.h"

namespace barquill::encoder {

const char* modeName(CompactionMode mode);          // text, byte, numeric
const char* submodeName(TextSubmode submode);       // alpha, lower, mixed, punctuation
const char* textValueKindName(TextValueKind kind);  // character, latch, shift, padding
const char* roleName(CodewordRole role);            // length-descriptor, latch, ...
const char* buildErrorName(SymbolError error);      // too-long, columns-do-not-fit, ...
const char* macroFieldName(int field);              // file name, segment count, ...

}  // namespace barquill::encoder
