#include "emulator/typed_log.h"

namespace tavrik::emu {

void TypedLog::Down(HidUsage usage, uint64_t timeMs) {
    if (held_[usage]++ == 0)
        Append(usage, timeMs, true);
}

void TypedLog::Up(HidUsage usage, uint64_t timeMs) {
    const auto found = held_.find(usage);
    if (found == held_.end())
        return;
    if (--found->second == 0) {
        held_.erase(found);
        Append(usage, timeMs, false);
    }
}

void TypedLog::ReleaseAll(uint64_t timeMs) {
    for (const auto& [usage, count] : held_)
        Append(usage, timeMs, false);
    held_.clear();
}

std::vector<HidEvent> TypedLog::Take() {
    std::vector<HidEvent> taken(events_.begin(), events_.end());
    events_.clear();
    return taken;
}

void TypedLog::Append(HidUsage usage, uint64_t timeMs, bool down) {
    if (events_.size() == kTypedLogLimit)
        events_.pop_front();
    events_.push_back({timeMs, usage.page, usage.usage, down});
}

} // namespace tavrik::emu
