#include "emulator/keyboard_firmware.h"
#include "frame_builder.h"

#include <gtest/gtest.h>

#include <numeric>
#include <random>

namespace tavrik::emu {
namespace {

using test::AnswerData;
using test::Request;

std::vector<uint8_t> Bytes(size_t count, uint8_t first) {
    std::vector<uint8_t> bytes(count);
    std::iota(bytes.begin(), bytes.end(), first);
    return bytes;
}

std::vector<uint8_t> Slice(std::span<const uint8_t> area, size_t at, size_t length) {
    return {area.begin() + at, area.begin() + at + length};
}

TEST(CommandProcessor, AnswersEveryReadFromItsArea) {
    KeyboardFirmware firmware;
    const KeyboardMemory fresh = firmware.Memory();
    std::vector<uint8_t> lastColours(48, 0xFF);
    lastColours.resize(54, 0); // 6 bytes past position 159 read as 0
    struct Case {
        uint8_t command;
        uint8_t length;
        uint16_t address;
        std::vector<uint8_t> expected;
    };
    const Case cases[] = {
        {3, 28, 0, Slice(fresh.settings, 0, 28)},
        {5, 56, 0, Slice(fresh.lighting, 0, 56)},
        {7, 56, 512 + 56, Slice(fresh.keyMaps[1], 56, 56)},
        {7, 32, 1024 + 448, Slice(fresh.keyMaps[2], 448, 32)},
        {9, 16, 0, {0xAA, 0x55, 0x10, 0x00, 0x00, 0x00, 0x01, 0x00, 0, 0, 0, 0, 0, 0, 0, 0}},
        {15, 56, 112, Slice(kDefaultLayout, 112, 56)},
        {16, 54, 144 * 3, lastColours},
        {1, 0, 0, {}},
        {2, 0, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "command " << int{c.command});
        const ConfigFrame request = Request(c.command, c.length, c.address);
        const ConfigFrame answer = firmware.Answer(request);
        EXPECT_EQ(answer[frame::kReportId], kConfigReportId);
        EXPECT_EQ(answer[frame::kCommand], c.command);
        EXPECT_EQ(answer[frame::kLength], c.length);
        EXPECT_EQ(FrameAddress(answer), c.address);
        EXPECT_EQ(answer[frame::kStatus], 0);
        EXPECT_EQ(AnswerData(answer, c.length), c.expected);
        EXPECT_EQ(AnswerData(answer, 56).size(), 56u);
        EXPECT_EQ(answer[frame::kChecksumLow] | (answer[frame::kChecksumHigh] << 8),
                  FrameChecksum(answer));
    }
    EXPECT_EQ(firmware.Memory(), fresh);
}

TEST(CommandProcessor, WritesLandInTheirAreaAndReadBack) {
    struct Case {
        uint8_t writeCommand;
        uint8_t readCommand;
        uint16_t address;
        std::vector<uint8_t> data;
        std::vector<uint8_t> readBack;
    };
    std::vector<uint8_t> colours = Bytes(54, 1);
    std::vector<uint8_t> coloursBack = colours;
    std::fill(coloursBack.begin() + 48, coloursBack.end(), 0);
    const Case cases[] = {
        {6, 5, 23, {1}, {1}},
        {6, 5, 0, Bytes(11, 9), Bytes(11, 9)},
        {8, 7, 0, Bytes(56, 100), Bytes(56, 100)},
        {8, 7, 1024 + 448, Bytes(32, 7), Bytes(32, 7)},
        {10, 9, 4000, Bytes(56, 3), Bytes(56, 3)},
        {17, 16, 3 * 19, {1, 1, 1}, {1, 1, 1}},
        {17, 16, 144 * 3, colours, coloursBack},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "command " << int{c.writeCommand} << " at " << c.address);
        KeyboardFirmware firmware;
        const auto length = static_cast<uint8_t>(c.data.size());
        const ConfigFrame written =
            firmware.Answer(Request(c.writeCommand, length, c.address, c.data));
        EXPECT_EQ(written[frame::kStatus], 0);
        const ConfigFrame read = firmware.Answer(Request(c.readCommand, length, c.address));
        EXPECT_EQ(AnswerData(read, length), c.readBack);
    }
}

TEST(CommandProcessor, AFlippedByteIsAcknowledgedButStoredInverted) {
    struct Case {
        const char* name;
        StoredByteFlip flip;
        uint8_t writeCommand;
        uint8_t readCommand;
        uint16_t address;
        std::optional<size_t> flippedAt; // in the written range
    };
    const Case cases[] = {
        {"key map, covered", {Area::KeyMaps, 512 + 10}, 8, 7, 512, 10},
        {"key map, other block", {Area::KeyMaps, 10}, 8, 7, 512, std::nullopt},
        {"key map, just past the write", {Area::KeyMaps, 512 + 56}, 8, 7, 512, std::nullopt},
        {"macro memory, first byte", {Area::MacroMemory, 4000}, 10, 9, 4000, 0},
        {"colours, last byte", {Area::Colours, 100 + 53}, 17, 16, 100, 53},
        {"another area", {Area::MacroMemory, 520}, 8, 7, 512, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        KeyboardFirmware firmware;
        firmware.SetStoredByteFlip(c.flip);
        const std::vector<uint8_t> data = Bytes(54, 40);
        const ConfigFrame written = firmware.Answer(Request(c.writeCommand, 54, c.address, data));
        EXPECT_EQ(written[frame::kStatus], 0); // acknowledged as stored
        std::vector<uint8_t> expected = data;
        if (c.flippedAt)
            expected[*c.flippedAt] ^= 0xFF;
        EXPECT_EQ(AnswerData(firmware.Answer(Request(c.readCommand, 54, c.address)), 54), expected);
    }
}

TEST(CommandProcessor, RefusesMalformedOrOutOfAreaFramesWithoutTouchingMemory) {
    ConfigFrame badChecksum = Request(3, 28);
    badChecksum[frame::kChecksumLow] ^= 1;
    ConfigFrame otherReport = Request(3, 28);
    otherReport[frame::kReportId] = 5;
    StampFrameChecksum(otherReport);
    ConfigFrame tooLong = Request(6, 56, 0, Bytes(56, 1));
    tooLong[frame::kLength] = 57;
    StampFrameChecksum(tooLong);
    std::vector<uint8_t> settings(28, 0);
    settings[10] = 3;
    struct Case {
        const char* what;
        ConfigFrame request;
        uint8_t status;
    };
    const Case cases[] = {
        {"checksum", badChecksum, 0xFF},
        {"report id", otherReport, 0xFF},
        {"unknown command 11", Request(11, 1, 0, Bytes(1, 1)), 0xFF},
        {"unknown command 0", Request(0), 0xFF},
        {"length above 56", tooLong, 0xFE},
        {"settings past 28", Request(3, 29), 0xFE},
        {"settings profile 3", Request(4, 28, 0, settings), 0xFE},
        {"lighting past 56", Request(6, 7, 50, Bytes(7, 1)), 0xFE},
        {"key map gap", Request(8, 1, 480, Bytes(1, 1)), 0xFE},
        {"key map crossing its end", Request(8, 56, 448, Bytes(56, 1)), 0xFE},
        {"key map block 3", Request(8, 8, 1536, Bytes(8, 1)), 0xFE},
        {"macro past capacity", Request(10, 2, 4095, Bytes(2, 1)), 0xFE},
        {"default layout past 480", Request(15, 1, 480), 0xFE},
        {"colours past padding", Request(17, 1, 486, Bytes(1, 1)), 0xFE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        KeyboardFirmware firmware;
        const KeyboardMemory before = firmware.Memory();
        const ConfigFrame answer = firmware.Answer(c.request);
        EXPECT_EQ(answer[frame::kStatus], c.status);
        EXPECT_EQ(answer[frame::kCommand], c.request[frame::kCommand]);
        EXPECT_EQ(AnswerData(answer, 56), std::vector<uint8_t>(56, 0));
        EXPECT_EQ(firmware.Memory(), before);
    }
}

TEST(CommandProcessor, SettingsWriteChangesTheProfileButNotTheHardwareFacts) {
    KeyboardFirmware firmware({.macroCapacityUnits = 7, .offeredEffects = {3, 6}});
    std::vector<uint8_t> settings(28, 0xEE);
    settings[10] = 2;
    EXPECT_EQ(firmware.Answer(Request(4, 28, 0, settings))[frame::kStatus], 0);
    const auto read = AnswerData(firmware.Answer(Request(3, 28)), 28);
    EXPECT_EQ(read[10], 2);
    EXPECT_EQ(read[11], 7);
    EXPECT_EQ(read[12], 3);
    EXPECT_EQ(read[13], 6);
    EXPECT_EQ(read[14], 0);
    EXPECT_EQ(read[9], 0xEE);
    EXPECT_EQ(read[26], 0xEE);
    EXPECT_EQ(firmware.Memory().macroMemory.size(), 7u * 128);
}

TEST(CommandProcessor, MultiPacketBlockTransferRoundTrips) {
    KeyboardFirmware firmware;
    std::vector<uint8_t> block(480);
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<uint8_t>(i * 7);
    // Like the program: one frame buffer for the whole transfer, so the short last frame still
    // carries the previous frame's bytes past its length (covered by its checksum).
    ConfigFrame buffer = Request(8);
    int frames = 0;
    for (size_t o = 0; o < block.size(); o += 56, ++frames) {
        const size_t length = std::min<size_t>(56, block.size() - o);
        const auto address = static_cast<uint16_t>(512 + o);
        buffer[frame::kLength] = static_cast<uint8_t>(length);
        buffer[frame::kAddressLow] = static_cast<uint8_t>(address & 0xFF);
        buffer[frame::kAddressHigh] = static_cast<uint8_t>(address >> 8);
        std::copy_n(block.begin() + static_cast<std::ptrdiff_t>(o), length,
                    buffer.begin() + frame::kData);
        StampFrameChecksum(buffer);
        EXPECT_EQ(firmware.Answer(buffer)[frame::kStatus], 0);
    }
    EXPECT_EQ(frames, 9);
    std::vector<uint8_t> back;
    std::vector<uint8_t> defaults;
    for (size_t o = 0; o < block.size(); o += 56) {
        const auto length = static_cast<uint8_t>(std::min<size_t>(56, block.size() - o));
        const auto part =
            AnswerData(firmware.Answer(Request(7, length, static_cast<uint16_t>(512 + o))), length);
        back.insert(back.end(), part.begin(), part.end());
        const auto layout =
            AnswerData(firmware.Answer(Request(15, length, static_cast<uint16_t>(o))), length);
        defaults.insert(defaults.end(), layout.begin(), layout.end());
    }
    EXPECT_EQ(back, block);
    EXPECT_EQ(defaults, std::vector<uint8_t>(kDefaultLayout.begin(), kDefaultLayout.end()));
    EXPECT_EQ(firmware.Memory().keyMaps[0], kDefaultLayout);
    EXPECT_EQ(firmware.Memory().keyMaps[2], kDefaultLayout);
}

TEST(CommandProcessor, BracketIsTrackedAndLoneWritesAreCounted) {
    KeyboardFirmware firmware;
    const std::vector<uint8_t> brightness{7};
    firmware.Answer(Request(1));
    EXPECT_TRUE(firmware.InConfiguration());
    firmware.Answer(Request(6, 1, 1, brightness));
    firmware.Answer(Request(2));
    EXPECT_FALSE(firmware.InConfiguration());
    EXPECT_EQ(firmware.WritesOutsideBracket(), 0);
    firmware.Answer(Request(6, 1, 1, brightness));
    firmware.Answer(Request(5, 56)); // reads are not counted
    EXPECT_EQ(firmware.WritesOutsideBracket(), 1);
    EXPECT_EQ(firmware.Memory().lighting[1], 7);
}

TEST(CommandProcessor, ReadsTheActiveProfileAndCapacityOfTheConfiguration) {
    KeyboardFirmware firmware({.macroCapacityUnits = 3, .activeProfile = 1});
    const auto settings = AnswerData(firmware.Answer(Request(3, 28)), 28);
    EXPECT_EQ(settings[10], 1);
    EXPECT_EQ(settings[11], 3);
    EXPECT_EQ(firmware.Answer(Request(9, 2, 383))[frame::kStatus], 0xFE);
    EXPECT_EQ(firmware.Answer(Request(9, 1, 383))[frame::kStatus], 0);
}

// Frames with valid checksums but arbitrary commands, lengths and addresses: every one is answered,
// and a refused one changes nothing (the sanitizer builds catch any access outside an area).
TEST(CommandProcessor, ArbitraryFramesAreAnsweredAndRefusalsChangeNothing) {
    KeyboardFirmware firmware({.macroCapacityUnits = 1});
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int i = 0; i < 20000; ++i) {
        std::vector<uint8_t> data(56);
        for (uint8_t& b : data)
            b = static_cast<uint8_t>(byte(random));
        const auto command = static_cast<uint8_t>(byte(random) % 20);
        const auto length = static_cast<uint8_t>(byte(random) % 64);
        const auto address = static_cast<uint16_t>((byte(random) << 8 | byte(random)) % 1600);
        ConfigFrame request = Request(command, 0, address, data);
        request[frame::kLength] = length;
        StampFrameChecksum(request);
        const KeyboardMemory before = firmware.Memory();
        const ConfigFrame answer = firmware.Answer(request);
        EXPECT_EQ(answer[frame::kCommand], command);
        const uint8_t status = answer[frame::kStatus];
        EXPECT_TRUE(status == 0 || status == 0xFE || status == 0xFF) << int{status};
        if (status != 0) {
            EXPECT_EQ(firmware.Memory(), before);
        }
        EXPECT_EQ(MemoryProblem(firmware.Memory()), "");
    }
}

} // namespace
} // namespace tavrik::emu
