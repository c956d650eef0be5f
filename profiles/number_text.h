// SPDX-License-Identifier: MIT
#pragma once
// Numbers in text for people: the shortest form that reads back the same,
// always with a decimal point, whatever the host's locale.

#include <string>

namespace barquill::profiles {

std::string numberText(double value);

}  // namespace barquill::profiles
