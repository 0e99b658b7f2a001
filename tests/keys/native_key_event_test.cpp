// Key events of our own windows under X11 or Wayland, as the GUI's event filter passes them.

#include "keys/evdev_map.h"
#include "keys/native_key_event.h"

#include <gtest/gtest.h>

namespace tavrik {
namespace {

// X keysyms (X11/keysymdef.h).
constexpr uint32_t XK_a = 0x0061;
constexpr uint32_t XK_Home = 0xFF50;
constexpr uint32_t XK_KP_Home = 0xFF95;
constexpr uint32_t XK_KP_Begin = 0xFF9D;
constexpr uint32_t XK_KP_Delete = 0xFF9F;
constexpr uint32_t XK_KP_Decimal = 0xFFAE;
constexpr uint32_t XK_KP_7 = 0xFFB7;
constexpr uint32_t XK_Control_R = 0xFFE4;
constexpr uint32_t XK_Pause = 0xFF13;
constexpr uint32_t XK_Num_Lock = 0xFF7F;
constexpr uint32_t XF86XK_AudioRaiseVolume = 0x1008FF13;
constexpr uint32_t XF86XK_Explorer = 0x1008FF5D;

// An X11/xkb keycode is the Linux key code + 8.
constexpr uint32_t Xkb(uint32_t linuxCode) {
    return linuxCode + 8;
}

TEST(NativeKeyEventTest, HookKeystrokeFromNative) {
    struct Case {
        const char* what;
        NativeKeyEvent event;
        uint32_t vk;
        uint32_t keystrokeData;
        ScanCode scan;
    };
    const Case cases[] = {
        {"A", {Xkb(30), XK_a, false, false}, 0x41, 0x001E0001, 0x01E},
        {"A repeating", {Xkb(30), XK_a, true, false}, 0x41, 0x401E0001, 0x01E},
        {"A released", {Xkb(30), XK_a, false, true}, 0x41, 0xC01E0001, 0x01E},
        {"number pad 7, Num Lock off",
         {Xkb(71), XK_KP_Home, false, false},
         0x24,
         0x00470001,
         0x047},
        {"number pad 7, Num Lock on", {Xkb(71), XK_KP_7, false, false}, 0x67, 0x00470001, 0x047},
        {"number pad 5, Num Lock off",
         {Xkb(76), XK_KP_Begin, false, false},
         0x0C,
         0x004C0001,
         0x04C},
        {"number pad ., Num Lock off",
         {Xkb(83), XK_KP_Delete, false, false},
         0x2E,
         0x00530001,
         0x053},
        {"number pad ., Num Lock on",
         {Xkb(83), XK_KP_Decimal, false, false},
         0x6E,
         0x00530001,
         0x053},
        {"Home", {Xkb(102), XK_Home, false, false}, 0x24, 0x01470001, 0x147},
        {"right Ctrl", {Xkb(97), XK_Control_R, false, false}, 0xA3, 0x011D0001, 0x11D},
        {"Pause", {Xkb(119), XK_Pause, false, false}, 0x13, 0x00450001, 0x045},
        {"Num Lock", {Xkb(69), XK_Num_Lock, false, false}, 0x90, 0x01450001, 0x145},
        {"volume up", {Xkb(115), XF86XK_AudioRaiseVolume, false, false}, 0xAF, 0x01300001, 0x130},
        {"My Computer from a USB keyboard",
         {Xkb(144), XF86XK_Explorer, false, false},
         0xB6,
         0x016B0001,
         0x16B},
        {"a Linux code the table lacks", {Xkb(84), 0, false, false}, 0, 0x00000001, 0},
        {"Linux code 0", {Xkb(0), 0, false, false}, 0, 0x00000001, 0},
        {"below the xkb range", {7, 0, false, false}, 0, 0x00000001, 0},
        {"above 255", {Xkb(256), 0, false, true}, 0, 0xC0000001, 0},
        {"the largest value", {0xFFFFFFFF, XK_KP_Home, true, false}, 0, 0x40000001, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const HookKeystroke keystroke = HookKeystrokeFromNative(c.event);
        EXPECT_EQ(keystroke.vk, c.vk);
        EXPECT_EQ(keystroke.keystrokeData, c.keystrokeData);
        EXPECT_EQ(ScanFromNativeKeyEvent(c.event), c.scan);
    }
}

TEST(NativeKeyEventTest, EveryMappedLinuxCodeComesBackAsItsKey) {
    for (uint32_t code = 0; code < 0x300; ++code) {
        const ScanCode scan = ScanFromEvdev(code);
        if (scan == 0) {
            continue;
        }
        SCOPED_TRACE(code);
        EXPECT_FALSE(KeyTableRow(KeyIndexFromScan(scan)).name.empty());
        for (const bool release : {false, true}) {
            EXPECT_EQ(ScanFromNativeKeyEvent({Xkb(code), 0, false, release}), scan);
        }
    }
}

} // namespace
} // namespace tavrik
