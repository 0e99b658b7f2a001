// Reads the three key maps and 2 KB of macro memory from the emulated keyboard at a 1 ms USB
// report interval and compares the time with the floor of one request/answer exchange: two
// report intervals per frame. Prints frames, time and the ratio; the target is 1.10 or less.

#include "device/device_commands.h"
#include "device/frame_exchange.h"
#include "emulator/emulated_hid_bridge.h"

#include <chrono>
#include <cstdio>
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

Run ReadKeyMapsAndMacros(EmulatedHidBridge& keyboard, DeviceCommands& commands) {
    const int framesBefore = keyboard.FramesReceived();
    bool ok = true;
    const auto start = Clock::now();
    for (int block = 0; block < kKeyMapBlockCount; ++block) {
        KeyMapBlock keyMap{};
        ok = ok && commands.ReadKeyMapBlock(block, keyMap) == DeviceResult::Done;
    }
    std::vector<uint8_t> macros(kMacroBytes);
    ok = ok && commands.ReadMacroMemory(macros) == DeviceResult::Done;
    return {keyboard.FramesReceived() - framesBefore, Clock::now() - start, ok};
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

    Run best;
    for (int i = 0; i < kRuns; ++i) {
        const Run run = ReadKeyMapsAndMacros(keyboard, commands);
        if (!run.ok) {
            std::fprintf(stderr, "device_bench: a read failed\n");
            return 1;
        }
        if (i == 0 || run.time < best.time)
            best = run;
    }
    keyboard.DeleteRequestFromUnitId(readId);
    keyboard.WaitDelivered();

    const double floorMs = best.frames * 2.0 * kReportInterval.count() / 1000.0;
    std::printf("device_bench: key maps x3 + %zu bytes of macro memory at a %lld us interval\n",
                kMacroBytes, static_cast<long long>(kReportInterval.count()));
    std::printf(
        "frames %d, time %.1f ms (best of %d), floor %.1f ms, ratio %.3f (target <= 1.10)\n",
        best.frames, best.time.count(), kRuns, floorMs, best.time.count() / floorMs);
    return 0;
}
