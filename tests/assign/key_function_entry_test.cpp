#include "assign/key_function_entry.h"

#include <gtest/gtest.h>

#include <array>

namespace tavrik {
namespace {

TEST(KeyFunctionEntryTest, BytesAreLittleEndianAtTheirOffsets) {
    const KeyFunctionEntry entry{.type = KeyFunctionType::PlayMacro,
                                 .code = 0x1302,
                                 .value = 0x0A0B0C0D,
                                 .selectionFlag = 0x11223344,
                                 .reserved = 0x55667788};
    const std::array<uint8_t, 16> expected{0x04, 0x00, 0x02, 0x13, 0x0D, 0x0C, 0x0B, 0x0A,
                                           0x44, 0x33, 0x22, 0x11, 0x88, 0x77, 0x66, 0x55};
    std::array<uint8_t, 16> bytes{};
    WriteKeyFunctionEntry(entry, bytes);
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(ReadKeyFunctionEntry(bytes), entry);
}

TEST(KeyFunctionEntryTest, UnknownTypesAreKeptAsRead) {
    std::array<uint8_t, 16> bytes{0x2A, 0x01};
    EXPECT_EQ(static_cast<uint16_t>(ReadKeyFunctionEntry(bytes).type), 0x012A);
}

TEST(KeyFunctionEntryTest, MacroKeySlotsCarryTheirCodes) {
    const struct {
        size_t slot;
        uint16_t code;
    } cases[] = {{255, 0}, {256, 0x0301}, {264, 0x0309}, {265, 0x1301}, {273, 0x1309}, {274, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(MacroKeyCode(c.slot), c.code) << c.slot;
    }
    EXPECT_EQ(MacroKeySlot(0, false), 256u);
    EXPECT_EQ(MacroKeySlot(8, true), 273u);

    const KeyFunctionLayer layer = EmptyLayerWithMacroKeyCodes();
    for (size_t slot = 0; slot < kLayerSlots; ++slot) {
        EXPECT_EQ(layer[slot], KeyFunctionEntry{.code = MacroKeyCode(slot)}) << slot;
    }
}

} // namespace
} // namespace tavrik
