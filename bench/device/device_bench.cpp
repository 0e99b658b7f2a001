// Reads the three key maps and 2 KB of macro memory from the emulated keyboard at a 1 ms USB
// report interval and compares the time with the floor of one request/answer exchange: two
// report intervals per frame. Prints frames, time and the ratio; the target is 1.10 or less.
// Then writes the same, without and with the read-back of what was written: the read-back's
// extra time against the floor of the frames it adds (goal: no more than those frames cost).
// Every write changes every byte, so that each sends all its frames: a frame the keyboard is
// known to hold already would not be sent, nor read back.

#include "device/device_commands.h"
#include "device/frame_exchange.h"
#include "emulator/emulated_hid_bridge.h"

#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <vector>

namespace {

using namespace tavrik;
using Clock = std::chrono::steady_clock;

constexpr auto kReportInterval = std::chrono::microseconds(1000);
constexpr size_t kMacroBytes = 2048;
constexpr int kRuns = 5;

struct Run {
    int frames = 0;
    std::chrono::duration<double, std::milli> time{};
    bool ok = false;
};

bool ReadKeyMapsAndMacros(DeviceCommands& commands) {
    bool ok = true;
    for (int block = 0; block < kKeyMapBlockCount; ++block) {
        KeyMapBlock keyMap{};
        ok = ok && commands.ReadKeyMapBlock(block, keyMap) == DeviceResult::Done;
    }
    std::vector<uint8_t> macros(kMacroBytes);
    return ok && commands.ReadMacroMemory(macros) == DeviceResult::Done;
}

// Writes `fill` into every byte, after which the next fill is another value.
bool WriteKeyMapsAndMacros(DeviceCommands& commands, uint8_t& fill) {
    ++fill;
    bool ok = true;
    for (int block = 0; block < kKeyMapBlockCount; ++block) {
        KeyMapBlock keyMap{};
        keyMap.fill(fill);
        ok = ok && commands.WriteKeyMapBlock(block, keyMap) == DeviceResult::Done;
    }
    const std::vector<uint8_t> macros(kMacroBytes, fill);
    return ok && commands.WriteMacroMemory(macros) == DeviceResult::Done;
}

// The best of kRuns runs of `operation`; nothing when a run fails.
std::optional<Run> Best(EmulatedHidBridge& keyboard, const std::function<bool()>& operation) {
    Run best;
    for (int i = 0; i < kRuns; ++i) {
        const int framesBefore = keyboard.FramesReceived();
        const auto start = Clock::now();
        if (!operation())
            return std::nullopt;
        const Run run{keyboard.FramesReceived() - framesBefore, Clock::now() - start, true};
        if (i == 0 || run.time < best.time)
            best = run;
    }
    return best;
}

double FloorMs(int frames) {
    return frames * 2.0 * kReportInterval.count() / 1000.0;
}

} // namespace

int main() {
    EmulatedHidBridge keyboard;
    keyboard.SetReportInterval(kReportInterval);
    FrameExchange exchange(keyboard);
    const UnitCallback delivery = [&exchange](const UnitNotification& n) {
        if (n.kind == static_cast<uint32_t>(NotificationKind::ReportReceived) &&
            n.event.tag == static_cast<uint32_t>(UnitTag::Ctrl))
            exchange.DeliverAnswer(n.event.report, n.event.lengthOrCount);
        return 1;
    };
    uint32_t readId = 0;
    keyboard.RequestAsyncRead(
        kCtrlUnit, &delivery, UnitTag::Ctrl,
        ArgumentCheck(kCtrlUnit, &delivery, static_cast<uint32_t>(UnitTag::Ctrl), {}), &readId);
    DeviceCommands commands(exchange);

    const std::optional<Run> read = Best(keyboard, [&] { return ReadKeyMapsAndMacros(commands); });
    uint8_t fill = 0;
    const std::optional<Run> written =
        Best(keyboard, [&] { return WriteKeyMapsAndMacros(commands, fill); });
    commands.CheckWrites(true);
    const std::optional<Run> checked =
        Best(keyboard, [&] { return WriteKeyMapsAndMacros(commands, fill); });
    keyboard.DeleteRequestFromUnitId(readId);
    keyboard.WaitDelivered();
    if (!read || !written || !checked) {
        std::fprintf(stderr, "device_bench: an exchange failed\n");
        return 1;
    }
    const int addedFrames = checked->frames - written->frames;
    if (addedFrames <= 0) {
        std::fprintf(stderr, "device_bench: the checked write read nothing back\n");
        return 1;
    }

    std::printf("device_bench: key maps x3 + %zu bytes of macro memory at a %lld us interval\n",
                kMacroBytes, static_cast<long long>(kReportInterval.count()));
    std::printf("read: frames %d, time %.1f ms (best of %d), floor %.1f ms, ratio %.3f (target <= "
                "1.10)\n",
                read->frames, read->time.count(), kRuns, FloorMs(read->frames),
                read->time.count() / FloorMs(read->frames));
    const double addedMs = checked->time.count() - written->time.count();
    std::printf("write: frames %d, time %.1f ms; write and read back: frames %d, time %.1f ms\n",
                written->frames, written->time.count(), checked->frames, checked->time.count());
    std::printf("read-back: %d frames, %.1f ms, floor %.1f ms, ratio %.3f (goal <= 1.10)\n",
                addedFrames, addedMs, FloorMs(addedFrames), addedMs / FloorMs(addedFrames));
    return 0;
}
