// Values from files and from the keyboard reach the conversions unchecked: every 16-bit value
// must give a key of the table or the documented "none", never a look-up outside a table (the
// address sanitizer build runs these sweeps too).

#include "keys/key_table.h"

#include <gtest/gtest.h>

namespace tavrik {
namespace {

constexpr ScanCode kBoundaries[] = {0x07F, 0x080, 0x0FF,  0x100,  0x17F, 0x180,
                                    0x1FF, 0x200, 0x7FFF, 0x8000, 0xFFFF};

std::u16string FallbackName(const char* hexDigits) {
    std::u16string name = u"未知按键: ";
    for (const char* digit = hexDigits; *digit != '\0'; ++digit) {
        name.push_back(static_cast<char16_t>(*digit));
    }
    return name;
}

TEST(KeyTableBadInputTest, ScanCodesOutsideTheTwoRangesAreNoKey) {
    struct Case {
        ScanCode scan;
        bool isKey;
        const char* hexDigits; // the fallback name's number
    };
    const Case cases[] = {
        {0x07F, true, "07f"},    {0x080, false, "080"},   {0x0FF, false, "0ff"},
        {0x100, true, "100"},    {0x17F, true, "17f"},    {0x180, false, "180"},
        {0x1FE, false, "1fe"},   {0x1FF, false, "1ff"},   {0x200, false, "200"},
        {0x8000, false, "8000"}, {0xFFFF, false, "ffff"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.scan);
        EXPECT_EQ(IsValidScan(c.scan), c.isKey);
        EXPECT_EQ(KeyNameFromScan(c.scan), FallbackName(c.hexDigits));
        if (!c.isKey) {
            // 0x1FE would be K107 (0x07E) if only the low bits counted.
            EXPECT_EQ(KeyIndexFromScan(c.scan), 0);
            EXPECT_EQ(KeyCodeFromScan(c.scan), kNoKeyCode);
            EXPECT_EQ(UsageFromScan(c.scan), Usage{});
        }
    }
}

TEST(KeyTableBadInputTest, EveryScanCodeGivesARowOrNone) {
    for (uint32_t value = 0; value <= 0xFFFF; ++value) {
        const auto scan = static_cast<ScanCode>(value);
        const KeyRow& row = KeyTableRow(KeyIndexFromScan(scan));
        if (!IsValidScan(scan)) {
            ASSERT_TRUE(row.name.empty()) << value;
        }
        const std::u16string name = KeyNameFromScan(scan);
        if (row.name.empty()) {
            ASSERT_EQ(name.rfind(u"未知按键: ", 0), 0u) << value;
        } else {
            ASSERT_EQ(name, row.name) << value;
        }
        ASSERT_EQ(KeyCodeFromScan(scan), row.keyCode) << value;
        const Usage usage = UsageFromScan(scan);
        ASSERT_TRUE(usage.page == 0 || usage.page == 0x01 || usage.page == 0x07 ||
                    usage.page == 0x0C)
            << value;
        const uint8_t bit = ModifierBitFromScan(scan);
        ASSERT_TRUE(bit == 0 || ScanFromModifierMask(bit) == scan) << value;
    }
}

TEST(KeyTableBadInputTest, EveryKeyCodeAndUsageGivesAKeyOrZero) {
    for (uint32_t value = 0; value <= 0xFFFF; ++value) {
        const auto code = static_cast<KeyCode>(value);
        const ScanCode fromCode = ScanFromKeyCode(code);
        ASSERT_EQ(fromCode == 0, KeyNameFromCode(code).empty()) << value;
        ASSERT_TRUE(fromCode == 0 || KeyCodeFromScan(fromCode) == code) << value;
        for (const uint16_t page : {0x00, 0x01, 0x07, 0x0C, 0xFF, 0xFFFF}) {
            const Usage usage{page, static_cast<uint16_t>(value)};
            const ScanCode fromUsage = ScanFromUsage(usage.page, usage.usage);
            ASSERT_TRUE(fromUsage == 0 || UsageFromScan(fromUsage) == usage)
                << page << ":" << value;
        }
    }
}

TEST(KeyTableBadInputTest, KeystrokesGiveATableKeyOrZero) {
    const uint32_t vks[] = {0x00, 0x01, 0x10, 0x41, 0xA1, 0xFE, 0xFF, 0x100, 0xFFFFFFFF};
    for (const uint32_t vk : vks) {
        for (uint32_t reported = 0; reported <= 0x1FF; ++reported) {
            const ScanCode scan = ScanFromKeyEvent(vk, (reported << 16) | 0xC0000001u);
            ASSERT_TRUE(IsValidScan(scan)) << vk << " " << reported;
        }
    }
    for (const ScanCode scan : kBoundaries) {
        EXPECT_FALSE(IsReleaseOnlyKey(scan)) << scan;
    }
}

TEST(KeyTableBadInputTest, ControlIdsOutsideTheButtonsGiveZero) {
    for (int id = -2000; id < 3000; ++id) {
        const KeyPosition position = PositionFromButton(id);
        ASSERT_LT(position, kKeyPositionCount) << id;
        if (id < 1000 || id > 1174) {
            ASSERT_EQ(position, 0) << id;
            ASSERT_EQ(ScanFromButton(id), 0) << id;
        }
    }
}

} // namespace
} // namespace tavrik
