#include "emulator/report_pacer.h"

namespace tavrik::emu {

ReportPacer::Clock::time_point ReportPacer::NextSlot(Direction direction,
                                                     Clock::time_point earliest) {
    if (interval_.count() <= 0)
        return earliest;
    const auto sinceEpoch = earliest - epoch_;
    const auto ticks = (sinceEpoch + interval_ - Clock::duration{1}) / interval_;
    auto slot = epoch_ + ticks * interval_;
    auto& last = lastSlot_[static_cast<int>(direction)];
    if (slot <= last)
        slot = last + interval_;
    last = slot;
    return slot;
}

} // namespace tavrik::emu
