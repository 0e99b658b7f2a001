#pragma once
// The fixed tables that Multimedia and FunctionKey entries point into.

#include "keys/key_table.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tavrik {

struct MultimediaFunction {
    uint16_t consumerUsage = 0; // HID consumer page usage the keyboard sends
    ScanCode scan = 0;          // the key table row that names it
};

// The row number is the value of a Multimedia entry.
inline constexpr std::array<MultimediaFunction, 18> kMultimediaTable{{
    {0x0183, 0x16D}, // media player
    {0x00CD, 0x122}, // play/pause
    {0x00B7, 0x124}, // stop playing
    {0x00B6, 0x110}, // previous track
    {0x00B5, 0x119}, // next track
    {0x00EA, 0x12E}, // volume down
    {0x00E9, 0x130}, // volume up
    {0x00E2, 0x120}, // mute
    {0x0223, 0x132}, // browser home
    {0x0227, 0x167}, // refresh
    {0x0226, 0x168}, // stop
    {0x0224, 0x16A}, // back
    {0x0225, 0x169}, // forward
    {0x022A, 0x166}, // favourites
    {0x0221, 0x165}, // search
    {0x0194, 0x16B}, // my computer
    {0x0192, 0x121}, // calculator
    {0x018A, 0x16C}, // mail
}};

// The first row that sends this consumer usage.
std::optional<size_t> MultimediaRowFromUsage(uint16_t consumerUsage);

// The slot is the value of a FunctionKey entry and the arg of a key map function entry. Slots
// 0..10 are offered by the assignment dialog; the others only come from the keyboard.
inline constexpr size_t kAssignableFunctionKeys = 11;
inline constexpr std::array<std::u16string_view, 29> kFunctionKeyTable{
    u"打开", u"新建", u"撤销", u"保存", u"复制", u"剪切", u"粘贴", u"查找", u"全选", u"缩小",
    u"放大", u"A1",   u"A2",   u"A3",   u"A4",   u"A5",   u"",     u"",     u"",     u"",
    u"B1",   u"B2",   u"B3",   u"B4",   u"B5",   u"",     u"",     u"",     u""};

// Empty for slots without a name, including every slot past the table.
std::u16string_view FunctionKeyName(uint32_t slot);

} // namespace tavrik
