// The command set on the emulated keyboard: what goes into each frame, the multi-packet rule and
// what a failing command leaves behind.
#include "keyboard_rig.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <numeric>
#include <vector>

namespace tavrik {
namespace {

using test::KeyboardRig;
using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

struct Header {
    uint8_t command;
    uint8_t length;
    uint16_t address;
    bool operator==(const Header&) const = default;
};

std::vector<Header> Headers(const test::FrameLogBridge& log) {
    std::vector<Header> headers;
    for (const ConfigFrame& f : log.Frames())
        headers.push_back({f[frame::kCommand], f[frame::kLength], FrameAddress(f)});
    return headers;
}

template <size_t N>
std::array<uint8_t, N> Counting(uint8_t first) {
    std::array<uint8_t, N> bytes{};
    std::iota(bytes.begin(), bytes.end(), first);
    return bytes;
}

TEST(DeviceCommands, EachCommandSendsItsCodeLengthAndAddress) {
    struct Case {
        const char* name;
        std::function<DeviceResult(DeviceCommands&)> run;
        std::vector<Header> frames;
    };
    KeyMapBlock block{};
    DeviceSettings settings{};
    std::array<uint8_t, kLightingParamsSize> lighting{};
    std::array<uint8_t, kColourTableChunk> colours{};
    const std::array<uint8_t, 3> lit{1, 1, 1};
    std::vector<uint8_t> macros{0xAA, 0x55, 16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    const std::vector<Header> keyMapFrames = [] {
        std::vector<Header> frames;
        for (uint16_t o = 0; o < 480; o += 56)
            frames.push_back(
                {7, static_cast<uint8_t>(o < 448 ? 56 : 32), static_cast<uint16_t>(1024 + o)});
        return frames;
    }();
    const Case cases[] = {
        {"begin", [](auto& c) { return c.BeginConfiguration(); }, {{1, 0, 0}}},
        {"end", [](auto& c) { return c.EndConfiguration(); }, {{2, 0, 0}}},
        {"read settings", [&](auto& c) { return c.ReadSettings(settings); }, {{3, 28, 0}}},
        {"write settings", [&](auto& c) { return c.WriteSettings(settings); }, {{4, 28, 0}}},
        {"read lighting", [&](auto& c) { return c.ReadLighting(lighting, 0); }, {{5, 56, 0}}},
        {"write lighting",
         [&](auto& c) { return c.WriteLighting(std::span(lighting).first(1), 23); },
         {{6, 1, 23}}},
        {"read key map 2", [&](auto& c) { return c.ReadKeyMapBlock(2, block); }, keyMapFrames},
        {"read macros", [&](auto& c) { return c.ReadMacroMemory(macros); }, {{9, 16, 0}}},
        {"write macros", [&](auto& c) { return c.WriteMacroMemory(macros); }, {{10, 16, 0}}},
        {"read colours at 144",
         [&](auto& c) { return c.ReadKeyColours(144, colours); },
         {{16, 54, 432}}},
        {"write one key at 159",
         [&](auto& c) { return c.WriteKeyColours(159, lit); },
         {{17, 3, 477}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        KeyboardRig rig;
        EXPECT_EQ(c.run(rig.commands), DeviceResult::Done);
        EXPECT_EQ(Headers(rig.log), c.frames);
        for (const ConfigFrame& f : rig.log.Frames()) {
            EXPECT_EQ(f[frame::kReportId], kConfigReportId);
            EXPECT_EQ(f[frame::kStatus], 0);
            const uint16_t checksum = f[frame::kChecksumLow] | (f[frame::kChecksumHigh] << 8);
            EXPECT_EQ(checksum, FrameChecksum(f));
        }
    }
}

TEST(DeviceCommands, ReadsReturnTheKeyboardsBytes) {
    KeyboardRig rig;
    const KeyMapBlock expected = Counting<kKeyMapBlockSize>(3);
    rig.keyboard.WithFirmware([&](auto& firmware) { firmware.Memory().keyMaps[1] = expected; });
    KeyMapBlock block{};
    EXPECT_EQ(rig.commands.ReadKeyMapBlock(1, block), DeviceResult::Done);
    EXPECT_EQ(block, expected);
    DeviceSettings settings{};
    EXPECT_EQ(rig.commands.ReadSettings(settings), DeviceResult::Done);
    EXPECT_EQ(settings[settings_byte::kMacroCapacityUnits], 32);
}

TEST(DeviceCommands, TransfersGoOutInFramesOfFiftySixBytes) {
    struct Case {
        size_t size;
        std::vector<uint8_t> lengths;
    };
    const Case cases[] = {
        {480, {56, 56, 56, 56, 56, 56, 56, 56, 32}}, {16, {16}}, {56, {56}}, {57, {56, 1}}, {0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        KeyboardRig rig;
        const std::vector<uint8_t> image(c.size, 0x42);
        EXPECT_EQ(rig.commands.WriteMacroMemory(image), DeviceResult::Done);
        std::vector<uint8_t> lengths;
        std::vector<uint16_t> addresses;
        for (const ConfigFrame& f : rig.log.Frames()) {
            lengths.push_back(f[frame::kLength]);
            addresses.push_back(FrameAddress(f));
        }
        EXPECT_EQ(lengths, c.lengths);
        for (size_t i = 0; i < addresses.size(); ++i)
            EXPECT_EQ(addresses[i], i * kFrameDataSize);
    }
}

// One frame buffer serves the whole transfer, so the last, shorter frame still carries the
// bytes of the frame before it beyond its length, and the checksum covers them.
TEST(DeviceCommands, ShortLastFrameOfAWriteKeepsThePreviousBytes) {
    KeyboardRig rig;
    const KeyMapBlock block = Counting<kKeyMapBlockSize>(0);
    EXPECT_EQ(rig.commands.WriteKeyMapBlock(0, block), DeviceResult::Done);
    const auto frames = rig.log.Frames();
    ASSERT_EQ(frames.size(), 9u);
    const ConfigFrame& last = frames.back();
    const ConfigFrame& previous = frames[7];
    EXPECT_TRUE(std::equal(last.begin() + frame::kData, last.begin() + frame::kData + 32,
                           block.begin() + 448));
    EXPECT_TRUE(std::equal(last.begin() + frame::kData + 32, last.end(),
                           previous.begin() + frame::kData + 32));
    EXPECT_EQ(last[frame::kChecksumLow] | (last[frame::kChecksumHigh] << 8), FrameChecksum(last));
    EXPECT_EQ(rig.keyboard.WithFirmware([](auto& fw) { return fw.Memory().keyMaps[0]; }), block);
}

TEST(DeviceCommands, SingleFramesCarryZerosBeyondTheirLength) {
    KeyboardRig rig;
    const std::array<uint8_t, 3> lit{1, 1, 1};
    EXPECT_EQ(rig.commands.WriteKeyColours(5, lit), DeviceResult::Done);
    const ConfigFrame sent = rig.log.Frames().at(0);
    EXPECT_THAT(std::span(sent).subspan(frame::kData, 3), Each(1));
    EXPECT_THAT(std::span(sent).subspan(frame::kData + 3), Each(0));
}

TEST(DeviceCommands, FailureInTheFifthFrameLeavesTheFirstFourFilled) {
    KeyboardRig rig;
    const KeyMapBlock expected = Counting<kKeyMapBlockSize>(9);
    rig.keyboard.WithFirmware([&](auto& firmware) { firmware.Memory().keyMaps[0] = expected; });
    rig.FaultFromFrame(4, emu::Fault::RefuseFF, 3);
    KeyMapBlock block{};
    block.fill(0xEE);
    EXPECT_EQ(rig.commands.ReadKeyMapBlock(0, block), DeviceResult::RefusedFF);
    EXPECT_EQ(rig.log.Frames().size(), 7u); // four good frames, the fifth three times
    EXPECT_TRUE(std::equal(block.begin(), block.begin() + 224, expected.begin()));
    EXPECT_THAT(std::span(block).subspan(224), Each(0xEE));
}

TEST(DeviceCommands, BlockIndexOutsideTheThreeProfilesSendsNothing) {
    KeyboardRig rig;
    KeyMapBlock block{};
    for (int index : {3, 4, -1}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(rig.commands.ReadKeyMapBlock(index, block), DeviceResult::BadBlockIndex);
        EXPECT_EQ(rig.commands.WriteKeyMapBlock(index, block), DeviceResult::BadBlockIndex);
    }
    EXPECT_THAT(rig.log.Frames(), IsEmpty());
}

TEST(DeviceCommands, MoreThanOneFrameOfDataForASingleFrameCommandSendsNothing) {
    KeyboardRig rig;
    std::array<uint8_t, kFrameDataSize + 1> tooLong{};
    EXPECT_EQ(rig.commands.WriteLighting(tooLong, 0), DeviceResult::BadBlockIndex);
    EXPECT_EQ(rig.commands.ReadKeyColours(0, tooLong), DeviceResult::BadBlockIndex);
    std::vector<uint8_t> pastTheAddressSpace(0x10001);
    EXPECT_EQ(rig.commands.WriteMacroMemory(pastTheAddressSpace), DeviceResult::BadBlockIndex);
    EXPECT_THAT(rig.log.Frames(), IsEmpty());
}

TEST(DeviceCommands, FailedReadLeavesTheDestinationUntouched) {
    KeyboardRig rig;
    rig.keyboard.SetFault(emu::Fault::RefuseFE, 3);
    DeviceSettings settings{};
    settings.fill(0xEE);
    EXPECT_EQ(rig.commands.ReadSettings(settings), DeviceResult::RefusedFE);
    EXPECT_THAT(settings, Each(0xEE));
}

TEST(DeviceCommands, EndPausesTenMillisecondsBeforeItsFrame) {
    KeyboardRig rig;
    EXPECT_EQ(rig.commands.EndConfiguration(), DeviceResult::Done);
    EXPECT_THAT(rig.clock.Sleeps(), ElementsAre(std::chrono::milliseconds(10)));
}

} // namespace
} // namespace tavrik
