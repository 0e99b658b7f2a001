#pragma once
// The program's switches: "/Kill" stops a running instance, "/Start" is accepted and changes
// nothing. Each whole argument is compared without regard to case; anything else is ignored.

#include <span>
#include <string_view>

namespace tavrik {

struct StartSwitches {
    bool kill = false;
    bool start = false;
};

// The arguments after the program's name.
StartSwitches ParseStartSwitches(std::span<const std::string_view> arguments);

} // namespace tavrik
