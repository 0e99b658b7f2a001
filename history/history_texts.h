#pragma once
// Every text of the undo history and of the list of changes waiting for Apply, as the program
// shows them.

#include <string_view>

namespace tavrik::history_text {

// The Button Menu's items, followed by the step's name; alone when there is no step.
inline constexpr std::u16string_view kUndo = u"撤销";
inline constexpr std::u16string_view kRedo = u"重做";
inline constexpr std::u16string_view kNameSeparator = u": ";
inline constexpr std::u16string_view kArrow = u" → ";

// Steps of the live profile.
inline constexpr std::u16string_view kAssign = u"分配 ";
inline constexpr std::u16string_view kRestoreDefaults = u"恢复默认设置";
inline constexpr std::u16string_view kImport = u"导入 ";
inline constexpr std::u16string_view kRevertAll = u"全部还原";

// Steps of the macro editor, followed by the macro's name.
inline constexpr std::u16string_view kAddMacro = u"添加宏 ";
inline constexpr std::u16string_view kRenameMacro = u"重命名宏 ";
inline constexpr std::u16string_view kDeleteMacro = u"删除宏 ";
inline constexpr std::u16string_view kLoopCount = u"循环次数 ";
inline constexpr std::u16string_view kEditAction = u"编辑动作 ";
inline constexpr std::u16string_view kMoveAction = u"移动动作 ";
inline constexpr std::u16string_view kDeleteAction = u"删除动作 ";
inline constexpr std::u16string_view kClearActions = u"清空动作 ";
inline constexpr std::u16string_view kRecord = u"录制 ";

// The changes waiting for Apply: a key's tooltip line, and the list's lines.
inline constexpr std::u16string_view kChanged = u"已更改: ";
inline constexpr std::u16string_view kHardwareProfile = u"情景模式 ";
inline constexpr std::u16string_view kMacroAdded = u"新宏 ";
inline constexpr std::u16string_view kMacroChanged = u"已更改的宏 ";
inline constexpr std::u16string_view kMacroDeleted = u"已删除的宏 ";

} // namespace tavrik::history_text
