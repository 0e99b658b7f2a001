#include "app/command_line.h"

#include <algorithm>

namespace tavrik {
namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) {
            return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
        };
        return lower(x) == lower(y);
    });
}

} // namespace

StartSwitches ParseStartSwitches(std::span<const std::string_view> arguments) {
    StartSwitches switches;
    for (std::string_view argument : arguments) {
        if (EqualsIgnoringCase(argument, "/Kill")) {
            switches.kill = true;
        } else if (EqualsIgnoringCase(argument, "/Start")) {
            switches.start = true;
        }
    }
    return switches;
}

} // namespace tavrik
