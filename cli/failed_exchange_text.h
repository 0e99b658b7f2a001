#pragma once
// A failed configuration exchange in the command line's words.

#include "session/frame_watch.h"

#include <string>

namespace tavrik::cli {

// "writing the key map of hardware profile 1 (bytes 56..111): no answer from the keyboard"
std::string DescribeFailedExchange(const FailedExchange& failed);

} // namespace tavrik::cli
