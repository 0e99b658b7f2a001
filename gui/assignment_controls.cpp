#include "gui/assignment_controls.h"

namespace tavrik {

std::span<const CompositeControl> CompositeControls() {
    using enum AssignmentTab;
    using namespace composite_id;
    constexpr std::nullopt_t kEveryTab = std::nullopt;
    constexpr CompositePictures kKeySet = CompositePictures::Key;
    constexpr CompositePictures kMacroSet = CompositePictures::Macro;
    // The page surface first: every other control lies above it.
    static constexpr CompositeControl kControls[] = {
        {kMask, u"CONTROL_MASK", kEveryTab, kKeySet, u"Mask"},
        {kTitle, u"CONTROL_TITLE", kEveryTab, kKeySet, u"Title"},
        {kSingleKeyTab, u"CONTROL_KEY", kEveryTab, kKeySet, u"单键"},
        {kMacroTab, u"CONTROL_MACRO", kEveryTab, kKeySet, u"宏"},
        {kMultimediaTab, u"CONTROL_MEDIA", kEveryTab, kKeySet, u"多媒体"},
        {kFunctionKeyTab, u"CONTROL_FUNCTION", kEveryTab, kKeySet, u"功能键"},
        {kClear, u"CONTROL_CLEAR", kEveryTab, kKeySet, u"清除", u"恢复按键默认功能"},
        {kOk, u"CONTROL_OK", kEveryTab, kKeySet, u"确定"},
        {kCancel, u"CONTROL_CANCEL", kEveryTab, kKeySet, u"取消"},
        {kApply, u"CONTROL2_APPLY", kEveryTab, kKeySet, u"应用"},
        {kKeyField, u"FUNC_KEY_INPUT", SingleKey},
        {kOnScreenKeyboard, u"CONTROL_OSK", SingleKey, kKeySet, u"Osk", u"打开屏幕键盘"},
        {kMultimediaList, u"FUNC_MEDIA_SELECT", Multimedia},
        {kFunctionKeyList, u"FUNC_FUNCTION_SELECT", FunctionKey},
        {kMacroList, u"FUNC_MACRO_LIST", Macro},
        {kMacroAdd, u"FUNC_MACRO_ADD", Macro, kMacroSet, u"添加"},
        {kMacroDelete, u"FUNC_MACRO_DELETE", Macro, kMacroSet, u"删除"},
        {kLoopCountLabel, u"FUNC_MACRO_CYCLES_PROMPT", Macro},
        {kLoopCount, u"FUNC_MACRO_CYCLES", Macro},
        {kActionList, u"FUNC_MACRO_LIST2", Macro},
        {kRecord, u"FUNC_MACRO_RECORD", Macro, kMacroSet, u"录制..."},
        {kActionToTop, u"FUNC_MACRO_UP_TOP", Macro, kMacroSet, u"上移到顶"},
        {kActionUp, u"FUNC_MACRO_UP", Macro, kMacroSet, u"上移"},
        {kActionDown, u"FUNC_MACRO_DOWN", Macro, kMacroSet, u"下移"},
        {kActionToBottom, u"FUNC_MACRO_DOWN_BOTTOM", Macro, kMacroSet, u"下移到底"},
        {kActionDelete, u"FUNC_MACRO_DELETE2", Macro, kMacroSet, u"删除"},
        {kActionsClear, u"FUNC_MACRO_CLEAR", Macro, kMacroSet, u"清空"},
        {kRecordDelays, u"FUNC_MACRO_RECORD_DELAY", Macro},
        {kRecordDelaysLabel, u"FUNC_MACRO_RECORD_DELAY2", Macro},
    };
    return kControls;
}

std::span<const CompositeTabButton> CompositeTabButtons() {
    using namespace composite_id;
    static constexpr CompositeTabButton kTabs[] = {
        {kSingleKeyTab, AssignmentTab::SingleKey},
        {kMacroTab, AssignmentTab::Macro},
        {kMultimediaTab, AssignmentTab::Multimedia},
        {kFunctionKeyTab, AssignmentTab::FunctionKey},
    };
    return kTabs;
}

skin::StatePictures PicturesOf(CompositePictures set) {
    switch (set) {
    case CompositePictures::Macro:
        return skin::kMacroPictures;
    case CompositePictures::Macro2:
        return skin::kMacro2Pictures;
    case CompositePictures::Media:
        return skin::kMediaPictures;
    case CompositePictures::Function:
        return skin::kFunctionPictures;
    case CompositePictures::Key:
        break;
    }
    return skin::kKeyPictures;
}

CompositePictures PagePictures(AssignmentTab tab) {
    switch (tab) {
    case AssignmentTab::Macro:
        return CompositePictures::Macro;
    case AssignmentTab::Multimedia:
        return CompositePictures::Media;
    case AssignmentTab::FunctionKey:
        return CompositePictures::Function;
    case AssignmentTab::SingleKey:
        break;
    }
    return CompositePictures::Key;
}

} // namespace tavrik
