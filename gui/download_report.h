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

// The message for a download that failed: the failed exchanges, if any, then what reached the
// keyboard (nothing; part of it, and that it plays no macros until a download is finished when
// the macro image was left cleared; everything but bytes stored otherwise) and what to do.
std::u16string DownloadFailureMessage(std::span<const FailedExchange> failed,
                                      const KeyboardChanges& changes);

} // namespace tavrik
