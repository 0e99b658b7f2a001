#pragma once
// Every text the macro subsystem shows: messages, questions and the action list's cells.

#include <string_view>

namespace tavrik::macro_text {

inline constexpr std::u16string_view kTooManyMacros = u"最大宏个数为: 100  ";
inline constexpr std::u16string_view kDelayTooLong = u"最大延迟时间为: 40000(毫秒)  ";
inline constexpr std::u16string_view kDeleteReferencedMacro =
    u"检测到某些按键设定指向这个宏,  \n  确实需要删除此宏?  ";
inline constexpr std::u16string_view kClearActions = u"确实需要清空宏动作?  ";
inline constexpr std::u16string_view kMacroMemoryTooSmall =
    u"宏空间大小超出了硬件空间大小。\r\n请减少宏个数或宏的动作个数，然后再下载。";
inline constexpr std::u16string_view kMacroNamesLeftOut = u"硬件空间紧张，取消了宏名的存储。";

// The action list: column titles and the direction cells.
inline constexpr std::u16string_view kKeyColumn = u"按键";
inline constexpr std::u16string_view kDirectionColumn = u"动作";
inline constexpr std::u16string_view kDelayColumn = u"延时(毫秒)";
inline constexpr std::u16string_view kPress = u"↓";
inline constexpr std::u16string_view kRelease = u"  ↑";

} // namespace tavrik::macro_text
