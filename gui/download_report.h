#pragma once
// What the main window tells the user when parts of a download failed: one line per failed
// exchange, naming the part of the keyboard's memory and what went wrong, in the program's
// language.

#include "session/frame_watch.h"

#include <span>
#include <string>

namespace tavrik {

// "写入硬件情景模式 2 的按键映射 (字节 56..111): 键盘无应答"
std::u16string DescribeFailedExchangeForUser(const FailedExchange& failed);

// The whole message for a download with failed exchanges; empty when none failed.
std::u16string DownloadFailureMessage(std::span<const FailedExchange> failed);

} // namespace tavrik
