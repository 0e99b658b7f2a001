#pragma once
// USB timing: an interrupt endpoint moves at most one report per direction per interval, at the
// interval's ticks. The pacer hands out those slots on the real (steady) clock.

#include <chrono>

namespace tavrik::emu {

enum class Direction { ToKeyboard, ToComputer };

class ReportPacer {
public:
    using Clock = std::chrono::steady_clock;

    // Ticks fall on epoch + k x interval.
    explicit ReportPacer(Clock::time_point epoch = Clock::now())
        : epoch_(epoch) {}

    // 0 = no USB timing: every report travels at once.
    void SetInterval(std::chrono::microseconds interval) { interval_ = interval; }

    // The first tick at or after `earliest` that no earlier report in the same direction took.
    Clock::time_point NextSlot(Direction direction, Clock::time_point earliest);

private:
    std::chrono::microseconds interval_{0};
    Clock::time_point epoch_;
    Clock::time_point lastSlot_[2] = {};
};

} // namespace tavrik::emu
