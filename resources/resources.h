// SPDX-License-Identifier: MIT
#pragma once
// The application's resource ids, the about-entry command and the icon's
// images.

namespace barquill::resources {

// Control ids, so tests and the dialog name the same controls.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDC_SAVE = 4;
inline constexpr int IDC_LEVEL = 1000;
inline constexpr int IDC_MARGIN = 1001;
inline constexpr int IDC_TEXT = 1002;
inline constexpr int IDC_BACKGROUND = 1003;
inline constexpr int IDC_BAR_COLOR = 1004;
inline constexpr int IDC_ENCODE = 1005;
inline constexpr int IDC_COLUMNS = 1006;
inline constexpr int IDC_PRINT = 1007;
inline constexpr int IDC_LOAD = 1008;
// Command id of the about entry, a system command in the window menu's range.
inline constexpr unsigned IDM_ABOUTBOX = 0x0010;

// Icon 128: a 32 × 32 and a 16 × 16 image.
inline constexpr const char* ICON_LARGE = ":/barquill/icon_32.xpm";
inline constexpr const char* ICON_SMALL = ":/barquill/icon_16.xpm";

}  // namespace barquill::resources
