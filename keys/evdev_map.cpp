#include "keys/evdev_map.h"

#include <linux/input-event-codes.h>

#include <array>

namespace tavrik {

namespace {

// X11 keycodes stop at 255 (Linux code 247); the table covers every code below 256.
constexpr uint32_t kEvdevTableSize = 256;

struct EvdevKey {
    uint16_t evdev;
    ScanCode scan;
};

// Linux numbered KEY_ESC (1) to KEY_KPDOT (83) after the set-1 make codes, so these are the
// codes themselves, with one exception below: Num Lock.
constexpr uint16_t kLastPlainSet1Key = KEY_KPDOT;

constexpr EvdevKey kEvdevKeys[] = {
    // Pause sends E1 1D 45 and is reported as 0x045; Num Lock, the plain 0x45, as 0x145.
    {KEY_NUMLOCK, 0x145},
    {KEY_PAUSE, 0x045}, // Ctrl+Break (E0 46) gives the same Linux code
    {KEY_102ND, 0x056},
    {KEY_F11, 0x057},
    {KEY_F12, 0x058},
    {KEY_F13, 0x064},
    // Japanese, Brazilian and Korean keys.
    {KEY_KATAKANAHIRAGANA, 0x070},
    {KEY_HANJA, 0x071},
    {KEY_HANGEUL, 0x072},
    {KEY_RO, 0x073},
    {KEY_HENKAN, 0x079},
    {KEY_MUHENKAN, 0x07B},
    {KEY_YEN, 0x07D},
    {KEY_KPCOMMA, 0x07E},
    // The E0 keys of a standard keyboard.
    {KEY_KPENTER, 0x11C},
    {KEY_RIGHTCTRL, 0x11D},
    {KEY_KPSLASH, 0x135},
    {KEY_SYSRQ, 0x137}, // Print Screen; Alt+Print Screen (Sys Req) gives the same Linux code
    {KEY_RIGHTALT, 0x138},
    {KEY_HOME, 0x147},
    {KEY_UP, 0x148},
    {KEY_PAGEUP, 0x149},
    {KEY_LEFT, 0x14B},
    {KEY_RIGHT, 0x14D},
    {KEY_END, 0x14F},
    {KEY_DOWN, 0x150},
    {KEY_PAGEDOWN, 0x151},
    {KEY_INSERT, 0x152},
    {KEY_DELETE, 0x153},
    {KEY_LEFTMETA, 0x15B},
    {KEY_RIGHTMETA, 0x15C},
    {KEY_COMPOSE, 0x15D},
    // System keys.
    {KEY_POWER, 0x15E},
    {KEY_SLEEP, 0x15F},
    {KEY_WAKEUP, 0x163},
    // Media and browser keys. A USB keyboard's consumer usages arrive as KEY_FILE (My Computer)
    // and KEY_CONFIG (media player) where a PS/2 keyboard gives KEY_COMPUTER and KEY_MEDIA.
    {KEY_PREVIOUSSONG, 0x110},
    {KEY_NEXTSONG, 0x119},
    {KEY_MUTE, 0x120},
    {KEY_CALC, 0x121},
    {KEY_PLAYPAUSE, 0x122},
    {KEY_STOPCD, 0x124},
    {KEY_VOLUMEDOWN, 0x12E},
    {KEY_VOLUMEUP, 0x130},
    {KEY_HOMEPAGE, 0x132},
    {KEY_SEARCH, 0x165},
    {KEY_BOOKMARKS, 0x166},
    {KEY_REFRESH, 0x167},
    {KEY_STOP, 0x168},
    {KEY_FORWARD, 0x169},
    {KEY_BACK, 0x16A},
    {KEY_COMPUTER, 0x16B},
    {KEY_FILE, 0x16B},
    {KEY_MAIL, 0x16C},
    {KEY_MEDIA, 0x16D},
    {KEY_CONFIG, 0x16D},
};

constexpr std::array<ScanCode, kEvdevTableSize> BuildEvdevTable() {
    std::array<ScanCode, kEvdevTableSize> table{};
    for (uint16_t code = 1; code <= kLastPlainSet1Key; ++code) {
        table[code] = code;
    }
    for (const EvdevKey& key : kEvdevKeys) {
        table[key.evdev] = key.scan;
    }
    return table;
}

constexpr std::array<ScanCode, kEvdevTableSize> kEvdevTable = BuildEvdevTable();

} // namespace

ScanCode ScanFromEvdev(uint32_t evdevCode) {
    return evdevCode < kEvdevTableSize ? kEvdevTable[evdevCode] : 0;
}

} // namespace tavrik
