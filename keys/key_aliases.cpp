#include "keys/key_aliases.h"

#include <algorithm>

namespace tavrik {

namespace {

// In scan code order. Left and right keys of a pair carry the same kinds of names.
constexpr KeyAliases kKeyAliases[] = {
    {0x001, "", {"Escape"}},
    {0x002, "", {"!"}},
    {0x003, "", {"@"}},
    {0x004, "", {"#"}},
    {0x005, "", {"$"}},
    {0x006, "", {"%"}},
    {0x007, "", {"^"}},
    {0x008, "", {"&"}},
    {0x009, "", {"*"}},
    {0x00A, "", {"("}},
    {0x00B, "", {")"}},
    {0x00C, "Minus", {"_"}},
    {0x00D, "Equal", {"+", "Equals"}},
    {0x00E, "Backspace", {"BS"}},
    {0x01A, "Left Bracket", {"{", "bracketleft", "Left Brace"}},
    {0x01B, "Right Bracket", {"}", "bracketright", "Right Brace"}},
    {0x01C, "", {"Return"}},
    {0x01D, "Left Ctrl", {"LCtrl", "Left Control", "Control_L", "Control"}},
    {0x027, "Semicolon", {":"}},
    {0x028, "Apostrophe", {"\"", "Quote"}},
    {0x029, "Grave", {"~", "Backtick", "Tilde"}},
    {0x02A, "Left Shift", {"LShift", "Shift_L"}},
    {0x02B, "Backslash", {"|"}},
    {0x033, "Comma", {"<"}},
    {0x034, "Period", {">", "Dot"}},
    {0x035, "Slash", {"?"}},
    {0x036, "Right Shift", {"RShift", "Shift_R"}},
    {0x037, "", {"*", "KP_Multiply", "Num Multiply"}},
    {0x038, "Left Alt", {"LAlt", "Alt_L"}},
    {0x039, "Space", {"Spacebar"}},
    {0x03A, "", {"Caps", "CapsLk"}},
    {0x046, "", {"ScrLk", "Scroll"}},
    {0x047, "", {"KP_7", "KP_Home"}},
    {0x048, "", {"KP_8", "KP_Up"}},
    {0x049, "", {"KP_9", "KP_Prior", "KP_Page_Up"}},
    {0x04A, "", {"KP_Subtract", "Num Minus"}},
    {0x04B, "", {"KP_4", "KP_Left"}},
    {0x04C, "", {"KP_5", "KP_Begin"}},
    {0x04D, "", {"KP_6", "KP_Right"}},
    {0x04E, "", {"+", "KP_Add", "Num Plus"}},
    {0x04F, "", {"KP_1", "KP_End"}},
    {0x050, "", {"KP_2", "KP_Down"}},
    {0x051, "", {"KP_3", "KP_Next", "KP_Page_Down"}},
    {0x052, "", {"KP_0", "KP_Insert"}},
    {0x053, "", {"KP_Decimal", "KP_Delete"}},
    {0x056, "", {"Non-US Backslash", "less"}},
    {0x070, "", {"Katakana Hiragana", "Hiragana_Katakana"}},
    {0x071, "", {"Hanja", "Hangul_Hanja"}},
    {0x072, "", {"Hangul"}},
    {0x073, "", {"Ro"}},
    {0x079, "", {"Henkan"}},
    {0x07B, "", {"Muhenkan"}},
    {0x07D, "", {"Yen"}},
    {0x07E, "", {"KP_Separator", "Keypad Comma"}},
    {0x110, "Previous Track", {"XF86AudioPrev"}},
    {0x119, "Next Track", {"XF86AudioNext"}},
    {0x11C, "", {"KP_Enter"}},
    {0x11D, "Right Ctrl", {"RCtrl", "Right Control", "Control_R", "Control"}},
    {0x120, "Mute", {"XF86AudioMute"}},
    {0x121, "Calculator", {"XF86Calculator", "Calc"}},
    {0x122, "Play Pause", {"XF86AudioPlay", "Play"}},
    {0x124, "Stop Playing", {"XF86AudioStop"}},
    {0x12E, "Volume Down", {"XF86AudioLowerVolume"}},
    {0x130, "Volume Up", {"XF86AudioRaiseVolume"}},
    {0x132, "Browser Home", {"XF86HomePage", "Home Page"}},
    {0x135, "", {"KP_Divide", "Num Divide"}},
    {0x137, "", {"PrtSc", "Print", "PrtScn"}},
    {0x138, "Right Alt", {"RAlt", "Alt_R", "AltGr"}},
    {0x145, "", {"Num", "NumLk"}},
    {0x148, "Up", {"Up Arrow"}},
    {0x149, "", {"PgUp", "Prior"}},
    {0x14B, "Left", {"Left Arrow"}},
    {0x14D, "Right", {"Right Arrow"}},
    {0x150, "Down", {"Down Arrow"}},
    {0x151, "", {"PgDn", "Next"}},
    {0x152, "", {"Ins"}},
    {0x153, "", {"Del"}},
    {0x15B, "Left Win", {"LWin", "Left Super", "Super_L", "Left Meta", "Meta_L", "Super", "Meta"}},
    {0x15C,
     "Right Win",
     {"RWin", "Right Super", "Super_R", "Right Meta", "Meta_R", "Super", "Meta"}},
    {0x15D, "Menu", {"Application"}},
    {0x15E, "Power", {"XF86PowerOff"}},
    {0x15F, "Sleep", {"XF86Sleep"}},
    {0x163, "Wake", {"XF86WakeUp", "Wake Up"}},
    {0x165, "Browser Search", {"XF86Search"}},
    {0x166, "Browser Favourites", {"XF86Favorites", "Browser Favorites", "Bookmarks"}},
    {0x167, "Browser Refresh", {"XF86Refresh"}},
    {0x168, "Browser Stop", {"XF86Stop"}},
    {0x169, "Browser Forward", {"XF86Forward"}},
    {0x16A, "Browser Back", {"XF86Back"}},
    {0x16B, "My Computer", {"XF86MyComputer"}},
    {0x16C, "Mail", {"XF86Mail"}},
    {0x16D, "Media Player", {"XF86AudioMedia"}},
    {0x16E, "Wheel Left", {}},
    {0x16F, "Wheel Right", {}},
    {0x170, "Double Click", {}},
    {0x171, "Left Mouse Button", {}},
    {0x172, "Right Mouse Button", {}},
    {0x173, "Middle Mouse Button", {}},
    {0x174, "Zoom Out", {"XF86ZoomOut"}},
    {0x175, "Zoom In", {"XF86ZoomIn"}},
    {0x176, "Copy", {"XF86Copy"}},
    {0x177, "Cut", {"XF86Cut"}},
    {0x178, "Paste", {"XF86Paste"}},
    {0x179, "Minimize", {}},
    {0x17A, "Maximize", {}},
    {0x17B, "Launch Word", {}},
    {0x17C, "Launch Excel", {}},
    {0x17D, "Launch PowerPoint", {}},
    {0x17E, "Launch Calendar", {"XF86Calendar"}},
};

constexpr bool AliasesAreInScanOrder() {
    return std::ranges::adjacent_find(kKeyAliases, std::ranges::greater_equal{},
                                      &KeyAliases::scan) == std::end(kKeyAliases);
}
static_assert(AliasesAreInScanOrder(), "one alias row per key, in scan code order");

} // namespace

std::span<const KeyAliases> KeyAliasTable() {
    return kKeyAliases;
}

const KeyAliases* FindKeyAliases(ScanCode scan) {
    const auto found = std::ranges::lower_bound(kKeyAliases, scan, {}, &KeyAliases::scan);
    return found != std::end(kKeyAliases) && found->scan == scan ? &*found : nullptr;
}

} // namespace tavrik
