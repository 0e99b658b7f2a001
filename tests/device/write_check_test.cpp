// Writes read back and compared with what was sent: a keyboard that acknowledges a frame and
// stores something else is caught, frame by frame.
#include "device/config_frame.h"
#include "keyboard_rig.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <span>
#include <vector>

namespace tavrik {
namespace {

using test::KeyboardRig;

struct Tampering {
    const char* name;
    uint8_t readCommand; // the keyboard changes a byte just before the first of these frames
    std::function<void(emu::KeyboardMemory&)> change;
    std::function<DeviceResult(DeviceCommands&)> write;
    CommandHeader expected;
};

const KeyMapBlock& SomeKeyMap() {
    static const KeyMapBlock block = [] {
        KeyMapBlock filled{};
        for (size_t i = 0; i < filled.size(); ++i)
            filled[i] = static_cast<uint8_t>(i * 7);
        return filled;
    }();
    return block;
}

const std::vector<uint8_t>& SomeMacroBytes() {
    static const std::vector<uint8_t> bytes(200, 0x5A);
    return bytes;
}

const std::vector<Tampering>& Tamperings() {
    static const std::vector<Tampering> cases = {
        {"KeyMapOfProfile1",
         command::kReadKeyMap,
         [](emu::KeyboardMemory& m) { m.keyMaps[1][130] ^= 0xFF; },
         [](DeviceCommands& c) { return c.WriteKeyMapBlock(1, SomeKeyMap()); },
         {command::kWriteKeyMap, 56, 512 + 112}},
        {"MacroMemoryFromAddress16",
         command::kReadMacroMemory,
         [](emu::KeyboardMemory& m) { m.macroMemory[16 + 199] ^= 0x01; },
         [](DeviceCommands& c) { return c.WriteMacroMemory(SomeMacroBytes(), 16); },
         {command::kWriteMacroMemory, 32, 16 + 168}},
        {"KeyColours",
         command::kReadColours,
         [](emu::KeyboardMemory& m) { m.colours[3 * 5 + 2] ^= 0x80; },
         [](DeviceCommands& c) {
             const std::vector<uint8_t> triples(54, 0x33);
             return c.WriteKeyColours(5, triples);
         },
         {command::kWriteColours, 54, 15}},
    };
    return cases;
}

class WrittenBytes : public ::testing::TestWithParam<Tampering> {};

TEST_P(WrittenBytes, ThatReadBackDifferentlyFailTheWriteAndNameTheFrame) {
    const Tampering& tampering = GetParam();
    KeyboardRig rig;
    std::vector<CommandHeader> differing;
    rig.commands.SetDifferingFrameListener(
        [&](const CommandHeader& frame) { differing.push_back(frame); });
    rig.commands.CheckWrites(true);
    bool changed = false;
    rig.log.BeforeFrame([&](const ConfigFrame& f) {
        if (f[frame::kCommand] == tampering.readCommand && !changed) {
            changed = true;
            rig.keyboard.WithFirmware(
                [&](emu::KeyboardFirmware& firmware) { tampering.change(firmware.Memory()); });
        }
    });

    EXPECT_EQ(tampering.write(rig.commands), DeviceResult::DiffersAfterWrite);
    ASSERT_EQ(differing.size(), 1u);
    EXPECT_EQ(differing[0].command, tampering.expected.command);
    EXPECT_EQ(differing[0].address, tampering.expected.address);
    EXPECT_EQ(differing[0].length, tampering.expected.length);
}

TEST_P(WrittenBytes, ThatReadBackEqualAreDoneAfterAsManyReadFramesAsWriteFrames) {
    const Tampering& tampering = GetParam();
    KeyboardRig rig;
    rig.commands.CheckWrites(true);
    EXPECT_EQ(tampering.write(rig.commands), DeviceResult::Done);
    const std::vector<uint8_t> commands = rig.log.Commands();
    const auto reads = std::ranges::count(commands, tampering.readCommand);
    EXPECT_GT(reads, 0);
    EXPECT_EQ(reads * 2, static_cast<long>(commands.size()));
}

TEST_P(WrittenBytes, AreNotReadBackUnlessAsked) {
    const Tampering& tampering = GetParam();
    KeyboardRig rig;
    EXPECT_EQ(tampering.write(rig.commands), DeviceResult::Done);
    EXPECT_EQ(std::ranges::count(rig.log.Commands(), tampering.readCommand), 0);
}

INSTANTIATE_TEST_SUITE_P(Writes, WrittenBytes, ::testing::ValuesIn(Tamperings()),
                         [](const ::testing::TestParamInfo<Tampering>& tampering) {
                             return std::string(tampering.param.name);
                         });

} // namespace
} // namespace tavrik
