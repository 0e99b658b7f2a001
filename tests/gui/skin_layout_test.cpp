// Rectangles, window outlines, caption placement and the image button's choice of picture.

#include "skin/button_look.h"
#include "skin/caption_layout.h"
#include "skin/ini_file.h"
#include "skin/skin_rect.h"
#include "skin/window_shape.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <vector>

namespace tavrik {
namespace {

struct RectCase {
    std::u16string_view text;
    SkinRect expected;
};

TEST(SkinRect, ParsesLikeFourDecimalFields) {
    const RectCase cases[] = {
        {u"10,20,80,24", {10, 20, 80, 24}},
        {u"1,1,1,1,x", {1, 1, 1, 1}},         // the default, trailing ",x" ignored
        {u" 10, 20,80,24", {10, 20, 80, 24}}, // blanks before a number are skipped
        {u"10 ,20,80,24", {10, 1, 1, 1}},     // but not before a comma
        {u"-5,+7,80,24", {-5, 7, 80, 24}},
        {u"10,20", {10, 20, 1, 1}},        // missing numbers are the default's
        {u"10,20,abc,24", {10, 20, 1, 1}}, // reading stops at the first non-number
        {u"", {1, 1, 1, 1}},
        {u"x", {1, 1, 1, 1}},
        {u"10,20,99999999999999999999,24", {10, 20, 1, 1}}, // beyond any coordinate
        {u"32767,-32767,5,5", {32767, -32767, 5, 5}},
        {u"32768,5,5,5", {1, 1, 1, 1}},
        {u"10,20,80,24,99", {10, 20, 80, 24}},
    };
    for (const RectCase& c : cases) {
        EXPECT_EQ(ParseSkinRect(c.text), c.expected) << std::string(c.text.begin(), c.text.end());
    }
}

TEST(SkinRect, MissingFileOrKeyGivesTheDefault) {
    testing::TempFolder folder;
    const CIniFile ini(
        folder.Write("Profile.ini", "[BUTTONINFO]\nCONTROL_OK=10,20,80,24\nBAD=1,x\n"));
    EXPECT_EQ(ReadSkinRect(ini, u"buttoninfo", u"control_ok"), (SkinRect{10, 20, 80, 24}));
    EXPECT_EQ(ReadSkinRect(ini, u"BUTTONINFO", u"FUNC_ADD"), SkinRect{});
    EXPECT_EQ(ReadSkinRect(ini, u"BUTTONINFO", u"BAD"), (SkinRect{1, 1, 1, 1}));
    EXPECT_EQ(ReadSkinRect(CIniFile(folder / "none.ini"), u"BUTTONINFO", u"CONTROL_OK"),
              SkinRect{});
}

TEST(SkinRect, UnplacedIsDecidedByTheCornerAlone) {
    EXPECT_TRUE(IsUnplacedRect({1, 1, 50, 20}));
    EXPECT_TRUE(IsUnplacedRect(SkinRect{}));
    EXPECT_FALSE(IsUnplacedRect({1, 2, 1, 1}));
    EXPECT_FALSE(IsUnplacedRect({2, 1, 1, 1}));
}

constexpr uint32_t W = 0xFFFFFFFF; // white
constexpr uint32_t K = 0xFF000000; // black
constexpr uint32_t T = 0x00FFFFFF; // white without alpha: still white
constexpr uint32_t G = 0xFFFFFFFE; // almost white: part of the window

TEST(WindowShape, RunsOfNonWhitePixelsRowByRow) {
    // 5 x 3, stored with a stride of 6 (the sixth word of each row is not part of the picture).
    const std::vector<uint32_t> pixels = {
        W, K, K, W, K, K, T, T, T, T, T, K, G, K, W, W, G, W,
    };
    const std::vector<ShapeRun> expected = {{0, 1, 2}, {0, 4, 1}, {2, 0, 2}, {2, 4, 1}};
    EXPECT_EQ(ShapeRunsFromPixels(pixels.data(), 5, 3, 6), expected);
}

TEST(WindowShape, AllWhiteGivesNoShape) {
    const std::vector<uint32_t> white(16 * 4, W);
    EXPECT_TRUE(ShapeRunsFromPixels(white.data(), 16, 4, 16).empty());
    EXPECT_TRUE(ShapeRunsFromPixels(nullptr, 16, 4, 16).empty());
    EXPECT_TRUE(ShapeRunsFromPixels(white.data(), 0, 4, 16).empty());
}

struct CaptionCase {
    int faceWidth, faceHeight, textWidth, textHeight, escapement;
    CaptionBox expected;
};

TEST(CaptionLayout, RotatedCaptionBox) {
    const CaptionCase cases[] = {
        // Level text: centred across, the bottom raised by half the spare height, then lowered
        // by half the text height.
        {100, 40, 60, 16, 0, {20, 0, 100, 28}},
        // Upright text (90 degrees): cos 90 is a hair above 0, so the width does not count.
        {40, 100, 60, 16, 900, {12, 0, 40, 80}},
        // 45 degrees: w cos a = w sin a = 42 (truncated), h sin a / 2 = h cos a / 2 = 5.
        {100, 60, 60, 16, 450, {24, 0, 100, 56}},
        // Text wider than the face: the left edge stays where it is.
        {30, 10, 60, 16, 0, {0, 0, 30, 13}},
        // Turned the other way (-20 degrees): sin is negative, truncation is toward zero
        // (h sin a / 2 = -2.7 moves the left edge right by 2, w sin a = -20.5 counts as -20).
        {100, 40, 60, 16, -200, {24, 0, 100, 17}},
    };
    for (const CaptionCase& c : cases) {
        EXPECT_EQ(
            RotatedCaptionBox(c.faceWidth, c.faceHeight, c.textWidth, c.textHeight, c.escapement),
            c.expected)
            << c.escapement;
    }
}

struct LookCase {
    ButtonState state;
    ButtonLook expected;
};

TEST(ButtonLook, DisabledThenCheckThenPressedHoverLit) {
    const LookCase cases[] = {
        {{}, ButtonLook::Normal},
        {{.lit = true}, ButtonLook::Lit},
        {{.hover = true, .lit = true}, ButtonLook::Hover},
        {{.pressed = true, .hover = true}, ButtonLook::Pressed},
        {{.enabled = false, .pressed = true, .hover = true, .lit = true}, ButtonLook::Disabled},
        {{.checkMode = true, .checked = true, .pressed = true, .hover = true}, ButtonLook::Checked},
        {{.checkMode = true, .pressed = true, .hover = true, .lit = true}, ButtonLook::Unchecked},
        {{.enabled = false, .checkMode = true, .checked = true}, ButtonLook::Disabled},
    };
    for (const LookCase& c : cases) {
        EXPECT_EQ(ChooseButtonLook(c.state), c.expected);
    }
}

} // namespace
} // namespace tavrik
