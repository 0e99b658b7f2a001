// The key table's conversions, one table of cases each.

#include "keys/key_table.h"

#include <gtest/gtest.h>

#include <climits>
#include <ostream>
#include <set>

namespace tavrik {

void PrintTo(const Usage& usage, std::ostream* out) {
    *out << "page " << usage.page << " usage " << usage.usage;
}

namespace {

TEST(KeyTableTest, RowsHoldTheirKeys) {
    struct Case {
        ScanCode scan;
        KeyRow row;
    };
    const Case cases[] = {
        {0x001, {0x0025, 0x1B, 0x1B, 0x29, u"Esc"}},
        {0x029, {0x0030, 0xC0, 0xC0, 0x35, u"`"}},
        {0x02B, {0x002D, 0xDC, 0xDC, 0x31, u"\\"}},
        {0x036, {0x0082, 0xA1, 0xA1, 0xE5, u"右边 Shift"}},
        {0x047, {0x005C, 0x67, 0x24, 0x5F, u"Num 7"}},
        {0x04C, {0x005A, 0x65, 0x0C, 0x5D, u"Num 5"}},
        {0x053, {0x0060, 0x6E, 0x2E, 0x63, u"Num ."}},
        {0x064, {0x8015, 0x7C, 0x7C, 0x00, u"F13"}},
        {0x11C, {0x0055, 0x0D, 0x0D, 0x58, u"Num Enter"}},
        {0x136, {0x0082, 0xA1, 0xA1, 0xE5, u"右边 Shift"}},
        {0x146, {0x0043, 0x03, 0x03, 0x48, u"Break"}},
        {0x17E, {0x8014, 0x9F, 0x9F, 0x00, u"启动日历"}},
        {0x000, {}},
        {0x05A, {}},
        {0x17F, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.scan);
        const KeyRow& row = KeyTableRow(KeyIndexFromScan(c.scan));
        EXPECT_EQ(row.keyCode, c.row.keyCode);
        EXPECT_EQ(row.vk, c.row.vk);
        EXPECT_EQ(row.altVk, c.row.altVk);
        EXPECT_EQ(row.usageByte, c.row.usageByte);
        EXPECT_EQ(row.name, c.row.name);
    }
}

TEST(KeyTableTest, OnlyTheNumberPadDigitsHaveANumLockOffVirtualKey) {
    const std::set<ScanCode> numberPad = {0x047, 0x048, 0x049, 0x04B, 0x04C, 0x04D,
                                          0x04F, 0x050, 0x051, 0x052, 0x053};
    int named = 0;
    for (int index = 0; index < kKeyTableSize; ++index) {
        const KeyRow& row = KeyTableRow(static_cast<KeyIndex>(index));
        const ScanCode scan = ScanFromKeyIndex(static_cast<KeyIndex>(index));
        SCOPED_TRACE(scan);
        named += row.name.empty() ? 0 : 1;
        EXPECT_EQ(row.vk != row.altVk, numberPad.count(scan) == 1);
        EXPECT_EQ(row.name.empty(), row.keyCode == kNoKeyCode);
    }
    EXPECT_EQ(named, 155);
}

TEST(KeyTableTest, EveryKeyCodeOfTheEditorsListsHasANamedRow) {
    std::vector<KeyCode> codes;
    for (KeyCode code = 0x0000; code < kMacroListKeyCodes; ++code) {
        codes.push_back(code);
    }
    for (KeyCode code = 0x8001; code <= 0x8015; ++code) {
        codes.push_back(code);
    }
    for (const KeyCode code : codes) {
        SCOPED_TRACE(code);
        const ScanCode scan = ScanFromKeyCode(code);
        EXPECT_NE(scan, 0);
        EXPECT_EQ(KeyCodeFromScan(scan), code);
        EXPECT_FALSE(KeyNameFromCode(code).empty());
        EXPECT_EQ(KeyNameFromCode(code), KeyNameFromScan(scan));
    }
}

TEST(KeyTableTest, KeyIndexFromScan) {
    struct Case {
        ScanCode scan;
        KeyIndex index;
    };
    const Case cases[] = {
        {0x000, 0x00}, {0x045, 0x45}, {0x07F, 0x7F}, {0x100, 0x80}, {0x11D, 0x9D}, {0x17F, 0xFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.scan);
        EXPECT_EQ(KeyIndexFromScan(c.scan), c.index);
        EXPECT_EQ(ScanFromKeyIndex(c.index), c.scan);
    }
    for (int index = 0; index < kKeyTableSize; ++index) {
        const auto keyIndex = static_cast<KeyIndex>(index);
        EXPECT_EQ(KeyIndexFromScan(ScanFromKeyIndex(keyIndex)), keyIndex);
    }
}

TEST(KeyTableTest, KeyCodeFromScan) {
    struct Case {
        ScanCode scan;
        KeyCode code;
    };
    const Case cases[] = {
        {0x01E, 0x0000}, {0x039, 0x0028}, {0x036, 0x0082},     {0x136, 0x0082},
        {0x130, 0x0072}, {0x17E, 0x8014}, {0x05A, kNoKeyCode}, {0x000, kNoKeyCode},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.scan);
        EXPECT_EQ(KeyCodeFromScan(c.scan), c.code);
    }
}

TEST(KeyTableTest, ScanFromKeyCode) {
    struct Case {
        KeyCode code;
        ScanCode scan;
    };
    const Case cases[] = {
        {0x0028, 0x039}, {0x0000, 0x01E}, {0x0082, 0x036}, // first of the two right Shift rows
        {0x8001, 0x15E}, {0x8015, 0x064}, {0x0085, 0},
        {0x8000, 0},     {0x8016, 0},     {kNoKeyCode, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(ScanFromKeyCode(c.code), c.scan);
    }
}

TEST(KeyTableTest, KeyNameFromCode) {
    struct Case {
        KeyCode code;
        std::u16string_view name;
    };
    const Case cases[] = {
        {0x0028, u"空格"}, {0x0030, u"`"}, {0x0082, u"右边 Shift"}, {0x8013, u"启动PowerPoint"},
        {0x0085, u""},     {0x8000, u""},  {kNoKeyCode, u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(KeyNameFromCode(c.code), c.name);
    }
}

TEST(KeyTableTest, KeyNameFromScan) {
    struct Case {
        ScanCode scan;
        size_t capacity;
        std::u16string_view name;
    };
    const Case cases[] = {
        {0x130, 260, u"音量加"},
        {0x05A, 260, u"未知按键: 05a"},
        {0x000, 260, u"未知按键: 000"},
        {0x17F, 260, u"未知按键: 17f"},
        {0x02B, 260, u"\\"},
        // "启动PowerPoint" has 12 characters: whole up to capacity 13, cut below.
        {0x17D, 14, u"启动PowerPoint"},
        {0x17D, 13, u"启动PowerPoint"},
        {0x17D, 12, u"启动PowerPoin"},
        {0x17D, 2, u"启"},
        {0x17D, 1, u""},
        {0x17D, 0, u""},
        {0x05A, 5, u"未知按键"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.scan << " capacity " << c.capacity);
        EXPECT_EQ(KeyNameFromScan(c.scan, c.capacity), c.name);
    }
}

TEST(KeyTableTest, UsageFromScan) {
    struct Case {
        ScanCode scan;
        Usage usage;
    };
    const Case cases[] = {
        {0x01E, {0x07, 0x04}},   {0x146, {0x07, 0x48}},   {0x15C, {0x07, 0xE7}},
        {0x07E, {0x07, 0x85}},   {0x072, {0x07, 0x90}},   {0x130, {0x0C, 0x00E9}},
        {0x16D, {0x0C, 0x0183}}, {0x110, {0x0C, 0x00B6}}, {0x174, {0x0C, 0x0000}},
        {0x15E, {0x01, 0x81}},   {0x163, {0x01, 0x83}},   {0x171, {0, 0}},
        {0x054, {0, 0}},         {0x05A, {0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.scan);
        EXPECT_EQ(UsageFromScan(c.scan), c.usage);
    }
}

TEST(KeyTableTest, ScanFromUsage) {
    struct Case {
        uint16_t page;
        uint16_t usage;
        ScanCode scan;
    };
    const Case cases[] = {
        {0x07, 0x04, 0x01E},
        {0x07, 0x48, 0x045}, // Pause, the first of Pause and Break
        {0x07, 0xE5, 0x036}, // the first right Shift row
        {0x07, 0x90, 0x072},
        {0x0C, 0x00CD, 0x122},
        {0x0C, 0x00E9, 0x130},
        {0x01, 0x81, 0x15E},
        {0x01, 0x84, 0},
        {0x01, 0x04, 0},
        // Values the usage byte gives to another page are not keyboard usages.
        {0x07, 0x81, 0},
        {0x07, 0xC0, 0},
        {0x07, 0xDF, 0},
        {0x07, 0x104, 0},
        {0x07, 0x00, 0},
        {0x07, 0xFF, 0},
        {0x07, 0x68, 0}, // F13's usage: the table gives F13 none
        {0x0C, 0x0000, 0},
        {0x0C, 0x0001, 0},
        {0x09, 0x01, 0},
        {0x00, 0x00, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.page << ":" << c.usage);
        EXPECT_EQ(ScanFromUsage(c.page, c.usage), c.scan);
    }
}

TEST(KeyTableTest, EveryUsageLeadsBackToARowWithThatUsage) {
    for (int index = 0; index < kKeyTableSize; ++index) {
        const ScanCode scan = ScanFromKeyIndex(static_cast<KeyIndex>(index));
        const Usage usage = UsageFromScan(scan);
        if (usage.page == 0 || usage.usage == 0) {
            continue;
        }
        SCOPED_TRACE(scan);
        const ScanCode back = ScanFromUsage(usage.page, usage.usage);
        EXPECT_EQ(UsageFromScan(back), usage);
        EXPECT_LE(KeyIndexFromScan(back), KeyIndexFromScan(scan)); // the first such row
    }
}

TEST(KeyTableTest, ScanFromKeyEvent) {
    constexpr uint32_t kExtended = 1u << 24;
    constexpr uint32_t kRelease = 3u << 30;
    const auto data = [](uint32_t makeCode) { return (makeCode << 16) | 1u; };
    struct Case {
        const char* what;
        uint32_t vk;
        uint32_t keystrokeData;
        ScanCode scan;
    };
    const Case cases[] = {
        {"right Ctrl with the generic VK", 0x11, data(0x1D) | kExtended, 0x11D},
        {"left Ctrl with the generic VK", 0x11, data(0x1D), 0x01D},
        {"right Alt with the generic VK", 0x12, data(0x38) | kExtended, 0x138},
        {"number pad 7 with Num Lock off", 0x24, data(0x47), 0x047},
        {"number pad 7 with Num Lock on", 0x67, data(0x47), 0x047},
        {"Home", 0x24, data(0x47) | kExtended, 0x147},
        {"number pad Enter", 0x0D, data(0x1C) | kExtended, 0x11C},
        {"main Enter", 0x0D, data(0x1C), 0x01C},
        {"Print Screen", 0x2C, data(0x37) | kExtended, 0x137},
        {"Sys Req", 0x2C, data(0x54), 0x054},
        {"right Shift whatever the VK", 0x10, data(0x36), 0x036},
        {"right Shift with a wrong VK", 0x41, data(0x36), 0x036},
        {"a key without VK keeps its make code", 0xFF, data(0x70), 0x070},
        {"no make code: the VK's key", 0x41, 0, 0x01E},
        {"make code and VK disagree: the VK's key", 0x41, data(0x10), 0x01E},
        {"a release", 0x41, data(0x1E) | kRelease, 0x01E},
        {"mouse button VK without make code", 0x01, 0, 0},
        {"unknown VK without make code", 0x07, 0, 0},
        {"a make code with the break bit: the VK's key", 0x41, data(0xF1), 0x01E},
        {"the E0 flag on a break-bit code: the VK's key", 0x41, data(0xF1) | kExtended, 0x01E},
        {"VK above 255", 0x141, data(0x10), 0},
        {"VK above 255 matching no row", 0xFFFFFFFF, data(0x1E), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ScanFromKeyEvent(c.vk, c.keystrokeData), c.scan);
    }
}

TEST(KeyTableTest, ModifierMask) {
    struct Case {
        ScanCode scan;
        uint8_t bit;
    };
    const Case modifiers[] = {
        {0x01D, 0x01}, {0x02A, 0x02}, {0x038, 0x04}, {0x15B, 0x08},
        {0x11D, 0x10}, {0x036, 0x20}, {0x138, 0x40}, {0x15C, 0x80},
    };
    for (const Case& c : modifiers) {
        SCOPED_TRACE(c.scan);
        EXPECT_EQ(ModifierBitFromScan(c.scan), c.bit);
        EXPECT_EQ(ScanFromModifierMask(c.bit), c.scan);
    }
    const Case others[] = {{0x136, 0}, {0x01E, 0}, {0x000, 0}, {0xFFFF, 0}};
    for (const Case& c : others) {
        EXPECT_EQ(ModifierBitFromScan(c.scan), 0) << c.scan;
    }
    const Case masks[] = {{0x02A, 0x22}, {0x01D, 0xFF}, {0x11D, 0x30}, {0x15C, 0x80}, {0, 0x00}};
    for (const Case& c : masks) {
        EXPECT_EQ(ScanFromModifierMask(c.bit), c.scan) << int{c.bit};
    }
}

TEST(KeyTableTest, IsReleaseOnlyKey) {
    for (const ScanCode scan : {0x054, 0x071, 0x072, 0x137}) {
        EXPECT_TRUE(IsReleaseOnlyKey(scan)) << scan;
    }
    for (const ScanCode scan : {0x000, 0x037, 0x070, 0x073, 0x154, 0x171, 0x0F1, 0xFFFF}) {
        EXPECT_FALSE(IsReleaseOnlyKey(scan)) << scan;
    }
}

TEST(KeyTableTest, Buttons) {
    struct Case {
        int controlId;
        KeyPosition position;
        ScanCode scan;
    };
    const Case cases[] = {
        {1010, 16, 0x03B},  {1022, 8, 0x001},   {1089, 69, 0x11D}, {1104, 113, 0x145},
        {1118, 133, 0x11C}, {1120, 117, 0x052}, {1000, 1, 0},      {1004, 5, 0},
        {1140, 0, 0},       {1143, 0, 0},       {1174, 53, 0},     {1005, 0, 0},
        {1057, 0, 0},       {1121, 0, 0},       {999, 0, 0},       {0, 0, 0},
        {-1, 0, 0},         {INT_MIN, 0, 0},    {INT_MAX, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.controlId);
        EXPECT_EQ(PositionFromButton(c.controlId), c.position);
        EXPECT_EQ(ScanFromButton(c.controlId), c.scan);
    }
}

TEST(KeyTableTest, KeyButtonsShowNamedKeysAtPositionsOfTheirOwn) {
    // G1-G5 and Fn take positions 1-5 and 53.
    std::set<KeyPosition> positions = {1, 2, 3, 4, 5, 53};
    std::set<ScanCode> scans;
    for (const KeyButton& button : KeyButtons()) {
        SCOPED_TRACE(button.controlId);
        EXPECT_TRUE(positions.insert(button.position).second);
        EXPECT_TRUE(scans.insert(button.scan).second);
        EXPECT_LT(button.position, kKeyPositionCount);
        EXPECT_FALSE(KeyTableRow(KeyIndexFromScan(button.scan)).name.empty());
        EXPECT_EQ(PositionFromButton(button.controlId), button.position);
    }
    EXPECT_EQ(KeyButtons().size(), 104u);
}

} // namespace
} // namespace tavrik
