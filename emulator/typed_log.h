#pragma once
// The computer's view of the keyboard's HID reports: which usages are down, and every change
// with the time it happened. A usage held by two sources (a key and a macro, two keys with the same
// function) goes down with the first and up with the last, as a HID report state does.

#include "emulator/hid_event.h"

#include <cstddef>
#include <deque>
#include <map>
#include <vector>

namespace tavrik::emu {

// The log keeps the newest events up to this many; a client that never collects them cannot make
// the keyboard grow without bound.
inline constexpr size_t kTypedLogLimit = size_t{1} << 16;

class TypedLog {
public:
    void Down(HidUsage usage, uint64_t timeMs);
    void Up(HidUsage usage, uint64_t timeMs);
    // Every usage still down goes up at `timeMs`.
    void ReleaseAll(uint64_t timeMs);
    // Forgets held usages without reporting them (the keyboard lost power).
    void Forget() { held_.clear(); }

    std::vector<HidEvent> Take();

private:
    void Append(HidUsage usage, uint64_t timeMs, bool down);

    std::map<HidUsage, int> held_;
    std::deque<HidEvent> events_;
};

} // namespace tavrik::emu
