#pragma once
// The texts of key descriptions, exactly as the main window shows them.

#include <string_view>

namespace tavrik::assign_text {

inline constexpr std::u16string_view kAssignedAs = u"按键，设定为: ";
inline constexpr std::u16string_view kSingleKey = u"单键(";
inline constexpr std::u16string_view kMacro = u"宏(";
inline constexpr std::u16string_view kMultimedia = u"多媒体(";
inline constexpr std::u16string_view kFunctionKey = u"功能键(";
inline constexpr std::u16string_view kClose = u")";
inline constexpr std::u16string_view kMacroKeyPrefix = u"G";
// What the functions without a detail are called in short.
inline constexpr std::u16string_view kDisabled = u"禁用";
inline constexpr std::u16string_view kLaunchProgram = u"运行程序";
inline constexpr std::u16string_view kStopMacro = u"停止宏";
inline constexpr std::u16string_view kTextBlock = u"文本";

} // namespace tavrik::assign_text
