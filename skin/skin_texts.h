#pragma once
// The texts a skin supplies besides rectangles: lighting effect names and the link address.

#include "skin/ini_file.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace tavrik {

// The name of lighting effect `mode` from section "Mode"; the text "1" when it has none.
std::u16string SkinModeName(const CIniFile& mainSkin, int mode);

// The address the main window's link button opens. "Link" in section "SCREEN" may be a full
// address (with a scheme such as https: or file:) or a path relative to the program's folder;
// without the key it is the help page beside the program. The result is a UTF-8 URL.
std::string SkinLinkAddress(const CIniFile& mainSkin, const std::filesystem::path& appFolder);

// The colour (0xRRGGBB) of the mark on a key whose function the next Apply changes: "ChangeMark"
// in section "SCREEN" as six hex digits; the skin's violet accent without it.
uint32_t SkinChangeMarkColour(const CIniFile& mainSkin);

} // namespace tavrik
