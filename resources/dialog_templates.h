#pragma once
// The application's resources as data: the dialog templates (positions and
// sizes in dialog units, controls in tab order), the level box's items, the
// about-entry string and the icon's images. The dialogs are laid out from
// these tables.

#include <array>
#include <span>

namespace barquill::resources {

// Resource and control ids.
inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDS_ABOUTBOX = 101;
inline constexpr int IDD_MAIN = 102;
inline constexpr int IDR_MAINFRAME = 128;
inline constexpr int IDC_STATIC = -1;
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
// Command id of the about entry, a system command in the window menu's range.
inline constexpr unsigned IDM_ABOUTBOX = 0x0010;

enum class ControlKind {
    PushButton,
    DefaultPushButton,
    GroupBox,
    Label,
    DropDownCombo,  // editable field with a list, not sorted
    Edit,           // one line, scrolls horizontally
    ColorButton,    // a push button that paints itself as a colour swatch
    Icon,
};

struct ControlTemplate {
    int id;
    ControlKind kind;
    const char* caption;  // UTF-8
    int x, y, width, height;
};

struct DialogTemplate {
    int id;
    const char* caption;
    const char* fontFace;
    int pointSize;
    int width, height;
    std::span<const ControlTemplate> controls;
};

inline constexpr std::array MAIN_CONTROLS = {
    ControlTemplate{IDC_ENCODE, ControlKind::DefaultPushButton, "Encode", 162, 296, 50, 14},
    ControlTemplate{IDCANCEL, ControlKind::PushButton, "取消", 374, 296, 50, 14},
    ControlTemplate{IDC_SAVE, ControlKind::DefaultPushButton, "Save", 226, 296, 50, 14},
    ControlTemplate{IDC_STATIC, ControlKind::GroupBox, "", 7, 217, 433, 71},
    ControlTemplate{IDC_STATIC, ControlKind::Label, "Level", 27, 237, 34, 10},
    ControlTemplate{IDC_LEVEL, ControlKind::DropDownCombo, "", 66, 234, 71, 13},
    ControlTemplate{IDC_STATIC, ControlKind::Label, "Margin", 27, 254, 34, 10},
    ControlTemplate{IDC_MARGIN, ControlKind::Edit, "", 66, 253, 70, 12},
    ControlTemplate{IDC_STATIC, ControlKind::Label, "Text", 27, 271, 34, 10},
    ControlTemplate{IDC_TEXT, ControlKind::Edit, "", 66, 269, 363, 12},
    ControlTemplate{IDC_BACKGROUND, ControlKind::ColorButton, "Background", 160, 234, 73, 12},
    ControlTemplate{IDC_BAR_COLOR, ControlKind::ColorButton, "Bar color", 251, 234, 80, 12},
    ControlTemplate{IDC_STATIC, ControlKind::Label, "Columns", 158, 254, 34, 10},
    ControlTemplate{IDC_COLUMNS, ControlKind::Edit, "", 197, 253, 70, 12},
};

// clang-format off
inline constexpr DialogTemplate MAIN_DIALOG{
    IDD_MAIN, "Barquill", "宋体", 9, 447, 317, MAIN_CONTROLS};
// clang-format on

inline constexpr std::array ABOUT_CONTROLS = {
    ControlTemplate{IDR_MAINFRAME, ControlKind::Icon, "", 11, 17, 20, 20},
    ControlTemplate{IDC_STATIC, ControlKind::Label, "Barquill 1.0 版", 40, 10, 119, 8},
    ControlTemplate{IDOK, ControlKind::DefaultPushButton, "确定", 178, 7, 50, 14},
};

// clang-format off
inline constexpr DialogTemplate ABOUT_DIALOG{
    IDD_ABOUTBOX, "关于 Barquill", "宋体", 9, 235, 55, ABOUT_CONTROLS};
// clang-format on

// Items of the level box, in order.
inline constexpr std::array LEVEL_ITEMS = {"1", "2", "3", "4", "5", "6", "7", "8"};

// String 101: the about entry of the dialog's menu.
inline constexpr const char* ABOUT_ENTRY = "关于 Barquill(&A)...";

// Icon 128: a 32 × 32 and a 16 × 16 image.
inline constexpr const char* ICON_LARGE = ":/barquill/icon_32.xpm";
inline constexpr const char* ICON_SMALL = ":/barquill/icon_16.xpm";

inline constexpr const char* VERSION = "1.0.0.1";

}  // namespace barquill::resources
