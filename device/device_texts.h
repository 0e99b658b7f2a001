#pragma once
// Messages the device link shows to the user, exactly as the keyboard's users know them.

#include <string_view>

namespace tavrik {

// "Reading the default keyboard layout failed": shown once per arrival when command 15 fails.
inline constexpr std::u16string_view kDefaultLayoutReadFailed = u"读取默认键盘布局失败";

} // namespace tavrik
