// SPDX-License-Identifier: MIT
#pragma once
// The explanation of a symbol as text for a person: the shape, the
// segments, a line per codeword with what it means, the row indicators.

#include <string>

#include "encoder/explanation.h"

namespace barquill::encoder {

std::string explanationText(const Explanation& explanation);

}  // namespace barquill::encoder
