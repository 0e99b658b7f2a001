// Feeds arbitrary answers to the command set: each frame written is answered with the next
// chunk of the input (a length byte, then up to that many bytes); when the input runs out the
// keyboard falls silent. Time does not pass: waits end at once.
#include "device/active_profile.h"
#include "device/device_commands.h"
#include "device/frame_exchange.h"
#include "device/keyboard_readout.h"
#include "device/lighting_readout.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace {

using namespace tavrik;

class InstantClock final : public DeviceClock {
public:
    void SleepFor(std::chrono::milliseconds) override {}
    bool WaitFor(std::unique_lock<std::mutex>&, std::condition_variable&, std::chrono::milliseconds,
                 const std::function<bool()>& ready) override {
        return ready();
    }
};

class FuzzedKeyboard final : public HidBridge {
public:
    explicit FuzzedKeyboard(std::span<const uint8_t> input)
        : input_(input) {}
    FrameExchange* exchange = nullptr;

    int32_t RequestGetDeviceCount(const UnitDescriptor&, uint32_t) override { return 1; }
    int32_t RequestAsyncRead(const UnitDescriptor&, const UnitCallback*, UnitTag, uint32_t,
                             uint32_t*) override {
        return 1;
    }
    int32_t DeleteRequestFromUnitId(uint32_t) override { return 1; }
    int32_t RequestWriteOne(const UnitDescriptor&, std::span<const uint8_t> report,
                            uint32_t) override {
        if (!input_.empty()) {
            const size_t length = std::min<size_t>(input_[0], input_.size() - 1);
            const auto answer = input_.subspan(1, length);
            input_ = input_.subspan(1 + length);
            exchange->DeliverAnswer(answer.data(), answer.size());
        }
        return static_cast<int32_t>(report.size());
    }
    int32_t RequestStatusWrite(const UnitDescriptor&, const UnitCallback*, UnitTag,
                               std::span<const uint8_t>, uint32_t, uint32_t*) override {
        return 1;
    }

private:
    std::span<const uint8_t> input_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedKeyboard keyboard({data, size});
    InstantClock clock;
    FrameExchange exchange(keyboard, clock);
    keyboard.exchange = &exchange;
    DeviceCommands commands(exchange);
    KeyboardFacts facts;
    GetActiveProfileIndex(commands, facts);
    LightingReadout lighting;
    ReadLightingAreas(commands, true, lighting);
    KeyMapsAndMacros contents;
    ReadKeyMapsAndMacros(commands, facts, contents);
    if (contents.macroImage.size() > static_cast<size_t>(kLargestMacroMemory))
        __builtin_trap();
    return 0;
}
