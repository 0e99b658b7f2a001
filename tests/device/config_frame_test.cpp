#include "device/config_frame.h"
#include "device/hid_bridge.h"

#include <gtest/gtest.h>

namespace tavrik {
namespace {

TEST(FrameChecksum, BareBeginCommandSumsToOne) {
    ConfigFrame frame{};
    frame[frame::kReportId] = kConfigReportId;
    frame[frame::kCommand] = 1;
    StampFrameChecksum(frame);
    EXPECT_EQ(frame[frame::kChecksumLow], 0x01);
    EXPECT_EQ(frame[frame::kChecksumHigh], 0x00);
}

TEST(FrameChecksum, CoversBytesThreeToSixtyThreeAndWrapsAtSixteenBits) {
    ConfigFrame frame{};
    frame.fill(0xFF); // report id and old checksum bytes must not count
    StampFrameChecksum(frame);
    const uint16_t expected = static_cast<uint16_t>(61 * 0xFF);
    EXPECT_EQ(FrameChecksum(frame), expected);
    EXPECT_EQ(frame[frame::kChecksumLow], expected & 0xFF);
    EXPECT_EQ(frame[frame::kChecksumHigh], expected >> 8);
}

TEST(UnitDescriptor, SerialisesLittleEndian) {
    const std::array<uint8_t, 16> expected{0x0F, 0,    0,    0,    0xB4, 0x04, 0x09, 0x20,
                                           0x1C, 0xFF, 0x92, 0x00, 0,    0,    0,    0};
    EXPECT_EQ(kCtrlUnit.Bytes(), expected);
}

TEST(ArgumentCheck, ChangesWithEveryArgument) {
    const std::array<uint8_t, 2> data{0x05, 0x02};
    const UnitCallback callback = [](const UnitNotification&) { return 1; };
    const uint32_t base = ArgumentCheck(kLedUnit, nullptr, 0, data);
    EXPECT_NE(base, ArgumentCheck(kCtrlUnit, nullptr, 0, data));
    EXPECT_NE(base, ArgumentCheck(kLedUnit, &callback, 0, data));
    EXPECT_NE(base, ArgumentCheck(kLedUnit, nullptr, static_cast<uint32_t>(UnitTag::Led), data));
    const std::array<uint8_t, 2> other{0x05, 0x03};
    EXPECT_NE(base, ArgumentCheck(kLedUnit, nullptr, 0, other));
}

} // namespace
} // namespace tavrik
