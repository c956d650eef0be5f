// SPDX-License-Identifier: MIT
#pragma once
// Marks the functions and classes of the public interface. The library is
// built with hidden visibility, so everything else stays inside it.

#if defined(__GNUC__) || defined(__clang__)
#define BARQUILL_API __attribute__((visibility("default")))
#else
#define BARQUILL_API
#endif
