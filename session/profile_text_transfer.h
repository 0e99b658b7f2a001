#pragma once
// "还原" and "备份" of the whole configuration as a profile written as text (names/profile_text.h),
// next to the profile file (profile/profile_transfer.h). A text made from the keyboard carries its
// lighting too, and restoring such a text sends that lighting back.

#include "names/profile_text_file.h"
#include "profile/profile_transfer.h"

#include <filesystem>
#include <string_view>

namespace tavrik {

class KeyboardStack;

// Followed by the effect's number: the text's lighting runs an effect this keyboard lacks.
inline constexpr std::u16string_view kTextEffectNotOffered =
    u"键盘没有文件中的灯光效果，导入失败! 效果 ";

// The live profile and the lighting the keyboard holds.
ProfileWithLighting ProfileAndLighting(KeyboardStack& stack);

// A profile file is imported as ImportProfile does it. A text is read and checked whole first: a
// fault is shown with its line ("文件格式错误，导入失败! " and "PATH:LINE: expected ...") and
// nothing is written. Otherwise the text becomes the live profile, is saved and downloaded, and
// then its lighting, when it has one, is sent.
ImportOutcome ImportProfileOrText(KeyboardStack& stack, const std::filesystem::path& path);

// The live profile and the keyboard's lighting as text into `path`, replaced all or nothing;
// false when it could not be written.
bool ExportProfileAsText(KeyboardStack& stack, const std::filesystem::path& path);

} // namespace tavrik
