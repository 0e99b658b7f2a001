#pragma once
// Names fixed by the skin file format: files, sections, keys and pictures.

#include <array>
#include <string_view>

namespace tavrik::skin {

// Skin files, relative to the program's folder.
inline constexpr std::string_view kFolder = "Skins";
inline constexpr std::string_view kMainFile = "Skins/Main.ini";
inline constexpr std::string_view kProfileFile = "Skins/Profile.ini";
inline constexpr std::string_view kCompositeFile = "Skins/Composite.ini";

// Sections and the keys that are not control rectangles.
inline constexpr std::u16string_view kScreen = u"SCREEN";
inline constexpr std::u16string_view kBackgroundKey = u"Main";
inline constexpr std::u16string_view kMaskKey = u"Mask";
inline constexpr std::u16string_view kLinkKey = u"Link";
inline constexpr std::u16string_view kButtonInfo = u"BUTTONINFO";
inline constexpr std::u16string_view kButtonInfo2 = u"BUTTONINFO2";
inline constexpr std::u16string_view kMode = u"Mode";

// The five pictures a button takes its looks from, relative to the program's folder.
struct StatePictures {
    std::string_view normal;
    std::string_view hover;
    std::string_view pressed;
    std::string_view disabled;
    std::string_view lit;
};

// The main window's button pictures and its further pictures.
inline constexpr std::string_view kMainNormal = "Skins/main_normal.jpg";
inline constexpr std::string_view kMainOver = "Skins/main_over.jpg";
inline constexpr std::string_view kMainDown = "Skins/main_down.jpg";
inline constexpr std::string_view kMainDisable = "Skins/main_disable.jpg";
inline constexpr std::string_view kArrow = "Skins/Arrow.jpg";
inline constexpr std::string_view kMainColor0 = "Skins/main_color0.jpg";
inline constexpr std::string_view kMainColor1 = "Skins/main_color1.jpg";

// The profile manager's buttons (its pressed picture serves as the disabled one too).
inline constexpr StatePictures kProfilePictures{
    "Skins/Profile_normal.jpg", "Skins/Profile_over.jpg", "Skins/Profile_down.jpg",
    "Skins/Profile_down.jpg", "Skins/Profile_normal.jpg"};

// The assignment dialog's picture sets.
inline constexpr StatePictures kKeyPictures{"Skins/key_normal.jpg", "Skins/key_over.jpg",
                                            "Skins/key_down.jpg", "Skins/key_normal.jpg",
                                            "Skins/key_down.jpg"};
inline constexpr StatePictures kMacroPictures{"Skins/macro_normal.jpg", "Skins/macro_over.jpg",
                                              "Skins/macro_down.jpg", "Skins/macro_disable.jpg",
                                              "Skins/macro_down.jpg"};
inline constexpr StatePictures kMacro2Pictures{"Skins/macro2_normal.jpg", "Skins/macro2_over.jpg",
                                               "Skins/macro2_down.jpg", "Skins/macro2_disable.jpg",
                                               "Skins/macro2_down.jpg"};
inline constexpr StatePictures kMediaPictures{"Skins/media_normal.jpg", "Skins/media_over.jpg",
                                              "Skins/media_down.jpg", "Skins/media_normal.jpg",
                                              "Skins/media_normal.jpg"};
inline constexpr StatePictures kFunctionPictures{
    "Skins/function_normal.jpg", "Skins/function_over.jpg", "Skins/function_down.jpg",
    "Skins/function_normal.jpg", "Skins/function_normal.jpg"};

// Pictures of the lighting panel, in the main skin's folder. A missing one stays empty.
inline constexpr std::array<std::string_view, 12> kPanelPictures{
    "dengup.bmp", "dengdown.bmp", "leftup.bmp",  "leftdown.bmp",  "rightup.bmp", "rightdown.bmp",
    "sjsup.bmp",  "sjsdown.bmp",  "user1up.bmp", "user1down.bmp", "user2up.bmp", "user2down.bmp"};
inline constexpr int kBusyFrameCount = 10;     // "jdt1.bmp" ... "jdt10.bmp"
inline constexpr int kSliderPictureCount = 26; // "0.bmp" ... "25.bmp"

} // namespace tavrik::skin
