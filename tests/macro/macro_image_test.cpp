#include "macro/macro_image.h"

#include "device/byte_order.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace tavrik {
namespace {

constexpr ScanCode kLeftShift = 0x02A;
constexpr ScanCode kA = 0x01E;
constexpr ScanCode kPlayPause = 0x122;

// One macro named with two characters and three actions.
MacroRecord ThreeActionMacro() {
    MacroRecord macro;
    macro.name = u"宏2";
    macro.loopCount = 2;
    macro.id = 9;
    macro.actions = {{.delayMs = 1234, .key = kLeftShift, .direction = KeyDirection::Press},
                     {.delayMs = 20, .key = kA, .direction = KeyDirection::Release},
                     {.delayMs = 0, .key = kPlayPause, .direction = KeyDirection::Press}};
    return macro;
}

const std::vector<uint8_t> kImageWithNames{
    0xAA, 0x55, 38,   0,    1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 18, 0, // header, one block offset
    3,    0,    2,    2,    // 3 actions, loop 2, name of 2
    0x7B, 0xA0, 0x01, 0x02, // 1234 ms, keyboard, press, Shift bit
    0x02, 0x20, 0x02, 0x04, // 20 ms, keyboard, release, usage 4
    0x00, 0xB0, 0xCD, 0x00, // 0 ms, consumer, press, 0x00CD
    0x8F, 0x5B, 0x32, 0x00, // 宏2
};

TEST(MacroImageTest, SizesCountBlocksActionsAndNames) {
    const MacroRecord macro = ThreeActionMacro();
    const MacroImageLengths lengths = MacroImageSizes(std::span(&macro, 1));
    EXPECT_EQ(lengths.withoutNames, 34u);
    EXPECT_EQ(lengths.withNames, 38u);

    const MacroImageLengths none = MacroImageSizes({});
    EXPECT_EQ(none.withoutNames, 16u);
    EXPECT_EQ(none.withNames, 16u);
}

TEST(MacroImageTest, BuildsTheImageByteForByte) {
    const MacroRecord macro = ThreeActionMacro();
    EXPECT_EQ(BuildMacroImage(std::span(&macro, 1), true), kImageWithNames);

    std::vector<uint8_t> withoutNames(kImageWithNames.begin(), kImageWithNames.end() - 4);
    withoutNames[2] = 34;
    withoutNames[6] = 0;  // names not included
    withoutNames[21] = 0; // name length
    EXPECT_EQ(BuildMacroImage(std::span(&macro, 1), false), withoutNames);

    const std::vector<uint8_t> empty{0xAA, 0x55, 16, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(BuildMacroImage({}, true), empty);
}

TEST(MacroImageTest, ActionWords) {
    const struct {
        MacroAction action;
        ActionWordBytes word;
        uint32_t delayReadBack;
    } cases[] = {
        {{1234, kLeftShift, KeyDirection::Press}, {0x7B, 0xA0, 0x01, 0x02}, 1230},
        {{20, kA, KeyDirection::Release}, {0x02, 0x20, 0x02, 0x04}, 20},
        {{0, kPlayPause, KeyDirection::Press}, {0x00, 0xB0, 0xCD, 0x00}, 0},
        {{9, 0x15E, KeyDirection::Release}, {0x00, 0x40, 0x81, 0x00}, 0}, // power: page 1
        {{40950, kA, KeyDirection::Press}, {0xFF, 0xAF, 0x02, 0x04}, 40950},
        // Longer pauses keep the longest the keyboard stores rather than wrapping round.
        {{40960, kA, KeyDirection::Press}, {0xFF, 0xAF, 0x02, 0x04}, 40950},
        {{655360, kA, KeyDirection::Press}, {0xFF, 0xAF, 0x02, 0x04}, 40950},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.action.delayMs << " " << std::hex << c.action.key);
        EXPECT_EQ(EncodeActionWord(c.action), c.word);
        MacroAction readBack = c.action;
        readBack.delayMs = c.delayReadBack;
        EXPECT_EQ(DecodeActionWord(c.word), readBack);
    }
    // A key without a usage is stored as kind 0 and reads back as no key.
    EXPECT_EQ(EncodeActionWord({50, 0x171, KeyDirection::Press}),
              (ActionWordBytes{0x05, 0x80, 0x00, 0x00}));
    EXPECT_EQ(DecodeActionWord(ActionWordBytes{0x05, 0x80, 0x00, 0x00}).key, 0);
}

TEST(MacroImageTest, ReadsMacrosBackByPosition) {
    MacroRecord second = ThreeActionMacro();
    second.name = u"second";
    second.loopCount = 255;
    second.actions.pop_back();
    const std::vector<MacroRecord> macros{ThreeActionMacro(), second};

    for (const bool names : {true, false}) {
        SCOPED_TRACE(names);
        const auto records = MacroImageToRecords(*BuildMacroImage(macros, names));
        ASSERT_EQ(records.size(), 2u);
        for (size_t i = 0; i < records.size(); ++i) {
            MacroRecord expected;
            expected.name = names ? macros[i].name : DefaultMacroName(static_cast<unsigned>(i + 1));
            expected.loopCount = macros[i].loopCount;
            expected.id = static_cast<uint16_t>(i + 1);
            expected.actions = macros[i].actions;
            expected.actions[0].delayMs = 1230;
            EXPECT_EQ(records[i], expected);
        }
    }
}

// An image from the keyboard, changed to lie about its sizes.
struct LyingImage {
    const char* lie;
    std::function<void(std::vector<uint8_t>&)> change;
    size_t macrosKept;
};

TEST(MacroImageTest, ALyingImageYieldsTheMacrosThatFit) {
    MacroRecord second = ThreeActionMacro();
    second.name = u"second";
    const std::vector<MacroRecord> macros{ThreeActionMacro(), second};
    const std::vector<uint8_t> image = *BuildMacroImage(macros, true);
    const size_t secondBlock = ReadU16(image, 18);

    const LyingImage cases[] = {
        {"nothing", [](auto&) {}, 2},
        {"cut short inside the second block", [](auto& b) { b.resize(b.size() - 1); }, 1},
        {"claims less than its blocks",
         [](auto& b) { WriteU16(b, 2, static_cast<uint16_t>(b.size() - 2)); }, 1},
        {"claims more than was read", [](auto& b) { WriteU16(b, 2, 0xFFFF); }, 2},
        {"claims less than its header", [](auto& b) { WriteU16(b, 2, 10); }, 0},
        {"first block beyond the end", [](auto& b) { WriteU16(b, 16, 0xFFF0); }, 0},
        {"first block at the very end",
         [](auto& b) { WriteU16(b, 16, static_cast<uint16_t>(b.size() - 2)); }, 0},
        {"too many actions", [&](auto& b) { WriteU16(b, secondBlock, 0xFFFF); }, 1},
        {"name too long", [](auto& b) { b[16 + 4 + 3] = 0xFF; }, 0},
        {"count without offsets", [](auto& b) { WriteU16(b, 4, 0xFFFF); }, 100},
        {"wrong magic", [](auto& b) { b[0] = 0; }, 0},
        {"only the header", [](auto& b) { b.resize(15); }, 0},
    };
    for (const LyingImage& c : cases) {
        SCOPED_TRACE(c.lie);
        std::vector<uint8_t> lying = image;
        c.change(lying);
        // Read from a buffer of exactly the bytes read, so that ASan sees any read past it.
        const std::vector<MacroRecord> records = MacroImageToRecords(lying);
        EXPECT_LE(records.size(), c.macrosKept);
        if (c.macrosKept <= 2) {
            EXPECT_EQ(records.size(), c.macrosKept);
        }
        for (size_t i = 0; i < records.size(); ++i) {
            EXPECT_EQ(records[i].id, i + 1);
            EXPECT_LE(records[i].actions.size(), kMaxMacroActions);
            EXPECT_LE(records[i].name.size(), kMaxMacroNameLength);
        }
    }
}

TEST(MacroImageTest, ABlockWithMoreActionsThanARecordHoldsKeepsTheFirst2000) {
    const size_t actions = 2500;
    std::vector<uint8_t> image(16 + 2 + 4 + 4 * actions + 2 * 255);
    WriteU16(image, 0, kMacroImageMagic);
    WriteU16(image, 2, static_cast<uint16_t>(image.size()));
    WriteU16(image, 4, 1);
    WriteU16(image, 16, 18);
    WriteU16(image, 18, actions);
    image[21] = 255; // a name longer than a record holds
    for (size_t j = 0; j < 255; ++j) {
        WriteU16(image, 22 + 4 * actions + 2 * j, u'n');
    }
    const auto records = MacroImageToRecords(image);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].actions.size(), kMaxMacroActions);
    EXPECT_EQ(records[0].name, std::u16string(kMaxMacroNameLength, u'n'));
}

TEST(MacroImageTest, AnImageBeyondTheSixteenBitFieldsIsNotBuilt) {
    MacroRecord big;
    big.actions.resize(kMaxMacroActions, MacroAction{.key = kA});
    const std::vector<MacroRecord> macros(9, big); // 9 x 8004 bytes
    EXPECT_FALSE(BuildMacroImage(macros, false).has_value());
    EXPECT_TRUE(BuildMacroImage(std::span(macros).first(8), false).has_value());
}

} // namespace
} // namespace tavrik
