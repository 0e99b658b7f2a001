// Two threads talking to the keyboard at once, as the presence worker and the user interface do.
#include "keyboard_rig.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace tavrik {
namespace {

using test::KeyboardRig;
using test::Timing;

constexpr uint8_t kBegin = 1, kEnd = 2, kReadSettings = 3;

// Without the exchange lock the two threads' answers would cross (each exchange takes the first
// CTRL report that arrives) and a bracket would have the other thread's frames inside it.
TEST(ExchangeConcurrency, ExchangesNeverOverlapAndBracketsStayWhole) {
    KeyboardRig rig({}, true, Timing::Real);
    rig.keyboard.SetAnswerDelay(std::chrono::milliseconds(1));
    const KeyMapBlock expected = rig.keyboard.WithFirmware([](auto& fw) {
        fw.Memory().keyMaps[1].fill(0x61);
        return fw.Memory().keyMaps[1];
    });
    std::atomic<int> failures{0};

    std::thread bracketed([&] {
        for (int i = 0; i < 10; ++i) {
            rig.exchange.RunBracketed([&] {
                KeyMapBlock block{};
                const bool ok = rig.commands.BeginConfiguration() == DeviceResult::Done &&
                                rig.commands.ReadKeyMapBlock(1, block) == DeviceResult::Done &&
                                block == expected &&
                                rig.commands.EndConfiguration() == DeviceResult::Done;
                failures += ok ? 0 : 1;
            });
        }
    });
    std::thread single([&] {
        for (int i = 0; i < 40; ++i) {
            DeviceSettings settings{};
            const bool ok = rig.commands.ReadSettings(settings) == DeviceResult::Done &&
                            settings[settings_byte::kMacroCapacityUnits] == 32;
            failures += ok ? 0 : 1;
        }
    });
    bracketed.join();
    single.join();

    EXPECT_EQ(failures.load(), 0);
    const auto commands = rig.log.Commands();
    EXPECT_EQ(commands.size(), 10u * (1 + 9 + 1) + 40u); // not one frame repeated
    bool inside = false;
    int foreignInside = 0;
    for (uint8_t command : commands) {
        if (command == kBegin || command == kEnd)
            inside = command == kBegin;
        else if (inside && command == kReadSettings)
            ++foreignInside;
    }
    EXPECT_EQ(foreignInside, 0) << "another thread's frames inside a bracket";
}

} // namespace
} // namespace tavrik
