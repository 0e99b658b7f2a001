#pragma once
// The assignment dialog's controls: id, the key of section "BUTTONINFO" of
// "Skins/Composite.ini" that places it, the picture set an image button takes its looks from,
// the tab it belongs to (none: shown on every tab), its caption (what screen readers say; the
// pictures show the words) and its tooltip.

#include "assign/assignment_state.h"
#include "skin/skin_names.h"

#include <optional>
#include <span>
#include <string_view>

namespace tavrik {

enum class CompositePictures { Key, Macro, Macro2, Media, Function };

struct CompositeControl {
    int id;
    std::u16string_view skinKey;
    std::optional<AssignmentTab> tab;
    // Image buttons only; the other controls are only moved and sized.
    std::optional<CompositePictures> pictures{};
    std::u16string_view caption{};
    std::u16string_view tooltip{};
};

namespace composite_id {
inline constexpr int kOk = 1;
inline constexpr int kCancel = 2;
inline constexpr int kApply = 1015;
inline constexpr int kMacroAdd = 1017;
inline constexpr int kMacroDelete = 1018;
inline constexpr int kActionList = 1019;
inline constexpr int kRecord = 1020;
inline constexpr int kActionDelete = 1021;
inline constexpr int kActionsClear = 1022;
inline constexpr int kActionToTop = 1023;
inline constexpr int kActionUp = 1024;
inline constexpr int kActionDown = 1025;
inline constexpr int kActionToBottom = 1026;
inline constexpr int kRecordDelays = 1027;
inline constexpr int kSingleKeyTab = 1028;
inline constexpr int kMacroTab = 1029;
inline constexpr int kMultimediaTab = 1030;
inline constexpr int kFunctionKeyTab = 1031;
inline constexpr int kClear = 1032;
inline constexpr int kMask = 1033;
inline constexpr int kLoopCount = 1125;
inline constexpr int kMacroList = 1126;
inline constexpr int kKeyField = 1127;
inline constexpr int kMultimediaList = 1128;
inline constexpr int kFunctionKeyList = 1129;
inline constexpr int kLoopCountLabel = 1130;
inline constexpr int kTitle = 1131;
inline constexpr int kOnScreenKeyboard = 1132;
inline constexpr int kRecordDelaysLabel = 1133;
} // namespace composite_id

// Said when the on-screen keyboard button finds no on-screen keyboard to start.
inline constexpr std::u16string_view kNoOnScreenKeyboardText =
    u"没有找到屏幕键盘程序 onboard，请先安装 onboard 软件包。";

std::span<const CompositeControl> CompositeControls();

// The tab buttons, in the order of the tabs.
struct CompositeTabButton {
    int id;
    AssignmentTab tab;
};
std::span<const CompositeTabButton> CompositeTabButtons();

skin::StatePictures PicturesOf(CompositePictures set);
// The set whose pictures draw a tab's page.
CompositePictures PagePictures(AssignmentTab tab);

} // namespace tavrik
