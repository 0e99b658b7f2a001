#pragma once
// The main window's image buttons besides the key buttons: control id, the key of section
// "BUTTONINFO" of "Skins/Main.ini" that places it, which pictures give its five looks, its
// tooltip, and its caption (its name for screen readers; the skin's pictures show the words).

#include <array>
#include <span>
#include <string_view>

namespace tavrik {

// Which main pictures a button takes for (normal, hover, pressed, disabled, lit).
enum class MainLooks {
    Link,      // normal, over, disable, normal, normal
    Command,   // normal, over, down, normal, normal
    Apply,     // normal, over, down, disable, normal
    Indicator, // normal four times, lit = over
    FlipLamp,  // normal four times, lit = disable
    Toggle,    // normal, over, down, normal, lit = disable
    Plate,     // normal five times
};

struct MainControl {
    int id;
    std::u16string_view skinKey;
    MainLooks looks;
    std::u16string_view tooltip;
    std::u16string_view caption;
    bool alwaysDisabled = false;
};

inline constexpr int ID_OK = 1;
inline constexpr int ID_CANCEL = 2;
inline constexpr int ID_PROFILE_NAME = 1005;
inline constexpr int ID_APPLY = 1006;
inline constexpr int ID_MACRO = 1007;
inline constexpr int ID_LINK = 1121;
inline constexpr int ID_HELP = 1122;
inline constexpr int ID_MINIMIZE = 1123;
inline constexpr int ID_CLOSE = 1124;
inline constexpr int ID_LEFT_ARROW = 1132;
inline constexpr int ID_RIGHT_ARROW = 1133;
inline constexpr int ID_VERSION = 1134;
inline constexpr int ID_MENU = 1139;
inline constexpr int ID_FN = 1174;
// Report rate 1..4: a stored choice the keyboard is never told.
inline constexpr std::array<int, 4> kReportRateButtonIds{1147, 1168, 1169, 1170};

std::span<const MainControl> MainWindowControls();

} // namespace tavrik
