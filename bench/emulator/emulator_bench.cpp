// How fast the emulated keyboard answers configuration frames, so that it is never what limits a
// test or a benchmark of the program: frames per second answered in-process (firmware alone,
// through the bridge pipelined, through the bridge one exchange at a time), and, with a 1 ms USB
// report interval, one exchange against its floor of two report intervals.

#include "emulator/command_processor.h"
#include "emulator/emulated_hid_bridge.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>

namespace {

using namespace tavrik;
using Clock = std::chrono::steady_clock;

constexpr double kRequiredFramesPerSecond = 100'000;

ConfigFrame ReadLightingRequest() {
    ConfigFrame frame{};
    frame[frame::kReportId] = kConfigReportId;
    frame[frame::kCommand] = command::kReadLighting;
    frame[frame::kLength] = kFrameDataSize;
    StampFrameChecksum(frame);
    return frame;
}

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// Counts answers on the CTRL unit and lets the sender wait for a number of them.
class AnswerCounter {
public:
    AnswerCounter()
        : callback_([this](const UnitNotification&) {
            {
                std::lock_guard lock(mutex_);
                ++answers_;
            }
            arrived_.notify_all();
            return 1;
        }) {}

    void Listen(HidBridge& bridge) {
        uint32_t id = 0;
        bridge.RequestAsyncRead(
            kCtrlUnit, &callback_, UnitTag::Ctrl,
            ArgumentCheck(kCtrlUnit, &callback_, static_cast<uint32_t>(UnitTag::Ctrl), {}), &id);
    }

    void WaitFor(long count) {
        std::unique_lock lock(mutex_);
        arrived_.wait(lock, [&] { return answers_ >= count; });
    }

private:
    UnitCallback callback_;
    std::mutex mutex_;
    std::condition_variable arrived_;
    long answers_ = 0;
};

double FirmwareFramesPerSecond(long frames) {
    emu::KeyboardFirmware firmware;
    const ConfigFrame request = ReadLightingRequest();
    unsigned sink = 0;
    const auto start = Clock::now();
    for (long i = 0; i < frames; ++i)
        sink += firmware.Answer(request)[frame::kStatus];
    const double seconds = Seconds(Clock::now() - start);
    return sink == 0 ? frames / seconds : 0;
}

// Every frame written at once, then every answer awaited: what the emulator can sustain.
double PipelinedFramesPerSecond(long frames) {
    EmulatedHidBridge bridge;
    AnswerCounter counter;
    counter.Listen(bridge);
    const ConfigFrame request = ReadLightingRequest();
    const uint32_t check = ArgumentCheck(kCtrlUnit, nullptr, 0, request);
    const auto start = Clock::now();
    for (long i = 0; i < frames; ++i)
        bridge.RequestWriteOne(kCtrlUnit, request, check);
    counter.WaitFor(frames);
    return frames / Seconds(Clock::now() - start);
}

// One frame, its answer, the next frame: how the program's exchange uses the keyboard.
Clock::duration ExchangeTime(EmulatedHidBridge& bridge, long exchanges) {
    AnswerCounter counter;
    counter.Listen(bridge);
    const ConfigFrame request = ReadLightingRequest();
    const uint32_t check = ArgumentCheck(kCtrlUnit, nullptr, 0, request);
    const auto start = Clock::now();
    for (long i = 1; i <= exchanges; ++i) {
        bridge.RequestWriteOne(kCtrlUnit, request, check);
        counter.WaitFor(i);
    }
    return (Clock::now() - start) / exchanges;
}

} // namespace

int main() {
    const double firmware = FirmwareFramesPerSecond(2'000'000);
    const double pipelined = PipelinedFramesPerSecond(500'000);
    EmulatedHidBridge immediate;
    const double exchanges = 1.0 / Seconds(ExchangeTime(immediate, 100'000));
    EmulatedHidBridge usb;
    usb.SetReportInterval(std::chrono::milliseconds(1));
    const auto usbExchange = ExchangeTime(usb, 500);
    const double floorRatio = Seconds(usbExchange) / 0.002;

    std::printf("firmware alone:            %12.0f frames/s\n", firmware);
    std::printf("bridge, pipelined:         %12.0f frames/s (%.1fx the %.0f required)\n", pipelined,
                pipelined / kRequiredFramesPerSecond, kRequiredFramesPerSecond);
    std::printf("bridge, one exchange each: %12.0f exchanges/s\n", exchanges);
    std::printf("1 ms report interval:      %12.3f ms per exchange = %.2f x the 2 ms floor\n",
                Seconds(usbExchange) * 1000, floorRatio);
    return pipelined >= kRequiredFramesPerSecond ? 0 : 1;
}
