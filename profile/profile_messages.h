#pragma once
// The texts this subsystem shows to the user, exactly as the keyboard's users know them.

#include <string_view>

namespace tavrik::profile_text {

// Followed by the file's path.
inline constexpr std::u16string_view kFormatErrorRestoringDefaults =
    u"文件格式错误，恢复为默认值: \n  ";
inline constexpr std::u16string_view kImportFailed = u"文件格式错误，导入失败! ";
inline constexpr std::u16string_view kCloseEditorFirst =
    u"当快速切换情景模式时，您首先必须关闭编辑对话框.";
inline constexpr std::u16string_view kSaveProfileQuestion = u"是否保存这个情景模式所做的设定? ";
inline constexpr std::u16string_view kDefaultProfileCaption = u"<默认情景模式>";
inline constexpr std::u16string_view kCurrentProfileTooltip = u"当前情景模式: ";
inline constexpr std::u16string_view kNewProfileFileName = u"新情景模式";
// Around the number of the profile manager's checked row (from 1) when the keyboard refuses it.
inline constexpr std::u16string_view kProfileNotSelectedBefore = u"键盘没有切换到第 ";
inline constexpr std::u16string_view kProfileNotSelectedAfter =
    u" 行的情景模式，键盘上的设定没有改变。";
// Added when that row lies beyond the keyboard's profiles.
inline constexpr std::u16string_view kOnlyThreeProfiles = u"\n键盘只有三个情景模式。";
// What the profile manager's list says about a row's file.
inline constexpr std::u16string_view kFileMissing = u"文件不存在";
inline constexpr std::u16string_view kFileDamaged = u"文件格式错误";
inline constexpr std::u16string_view kFileUnreadable = u"无法读取文件";
// Followed by the file's path.
inline constexpr std::u16string_view kCannotWriteFile = u"无法保存文件: ";

} // namespace tavrik::profile_text
