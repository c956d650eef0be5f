// SPDX-License-Identifier: MIT
#pragma once
// A value or the error that stopped it: the parts' one template.

#include "base/result.h"

namespace barquill::profiles {

template <class T, class E>
using Result = base::Result<T, E>;

}  // namespace barquill::profiles
