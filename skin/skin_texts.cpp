#include "skin/skin_texts.h"

#include "keys/text.h"
#include "skin/skin_names.h"

#include <algorithm>

namespace tavrik {
namespace {

// The longest address read (a 260-unit buffer with its terminator).
constexpr size_t kMaxLinkLength = 259;
constexpr std::u16string_view kDefaultLink = u"Help/index.html";
constexpr std::u16string_view kChangeMarkKey = u"ChangeMark";
constexpr uint32_t kDefaultChangeMark = 0x8B5CF6;
constexpr size_t kColourDigits = 6;

// The part before the first colon when it looks like a URL scheme ("C:\\..." does not).
std::string_view SchemeOf(std::string_view address) {
    const size_t colon = address.find(':');
    if (colon == std::string_view::npos || colon < 2) {
        return {};
    }
    const std::string_view scheme = address.substr(0, colon);
    const bool valid = std::all_of(scheme.begin(), scheme.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '+' || c == '-' || c == '.';
    });
    return valid ? scheme : std::string_view{};
}

// Only web pages and files are opened: the desktop would hand any other scheme to whatever
// program claims it.
bool IsOpenableScheme(std::string_view scheme) {
    std::string lower(scheme);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
    return lower == "http" || lower == "https" || lower == "file";
}

// Percent-encodes what may not stand in a file URL's path as it is.
std::string FileUrl(const std::filesystem::path& path) {
    std::string url = "file://";
    for (unsigned char c : path.string()) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '/' || c == '-' || c == '_' || c == '.' ||
                           c == '~' || c >= 0x80;
        if (plain) {
            url.push_back(static_cast<char>(c));
        } else {
            constexpr char kHex[] = "0123456789ABCDEF";
            url += {'%', kHex[c >> 4], kHex[c & 0xF]};
        }
    }
    return url;
}

} // namespace

std::u16string SkinModeName(const CIniFile& mainSkin, int mode) {
    const std::string number = std::to_string(mode);
    const std::u16string key(number.begin(), number.end());
    return mainSkin.GetString(skin::kMode, key, u"1").value_or(u"1");
}

std::string SkinLinkAddress(const CIniFile& mainSkin, const std::filesystem::path& appFolder) {
    const std::string address =
        Utf8From(mainSkin.GetString(skin::kScreen, skin::kLinkKey, kDefaultLink, kMaxLinkLength)
                     .value_or(std::u16string(kDefaultLink)));
    const std::string_view scheme = SchemeOf(address);
    if (!scheme.empty()) {
        if (IsOpenableScheme(scheme)) {
            return address;
        }
        return FileUrl((appFolder / Utf8From(kDefaultLink)).lexically_normal());
    }
    std::string relative = address;
    std::replace(relative.begin(), relative.end(), '\\', '/');
    const std::filesystem::path path(relative);
    return FileUrl((path.is_absolute() ? path : appFolder / path).lexically_normal());
}

uint32_t SkinChangeMarkColour(const CIniFile& mainSkin) {
    const std::u16string text =
        mainSkin.GetString(skin::kScreen, kChangeMarkKey, u"").value_or(u"");
    if (text.size() != kColourDigits)
        return kDefaultChangeMark;
    uint32_t colour = 0;
    for (const char16_t unit : text) {
        const int digit = unit >= u'0' && unit <= u'9'   ? unit - u'0'
                          : unit >= u'a' && unit <= u'f' ? unit - u'a' + 10
                          : unit >= u'A' && unit <= u'F' ? unit - u'A' + 10
                                                         : -1;
        if (digit < 0)
            return kDefaultChangeMark;
        colour = colour << 4 | static_cast<uint32_t>(digit);
    }
    return colour;
}

} // namespace tavrik
