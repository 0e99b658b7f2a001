#include "names/lighting_option_names.h"

#include <algorithm>
#include <array>

namespace tavrik {

namespace {

struct Named {
    std::string_view name;
    LightingOption option;
};
constexpr std::array<Named, kLightingOptionCount> kNames{{
    {"trigger-mode", LightingOption::TriggerMode},
    {"trigger-area", LightingOption::TriggerArea},
    {"press-reaction", LightingOption::PressReaction},
    {"breathing", LightingOption::Breathing},
}};

} // namespace

std::string_view LightingOptionName(LightingOption option) {
    return std::ranges::find(kNames, option, &Named::option)->name;
}

std::optional<LightingOption> LightingOptionFromName(std::string_view name) {
    const auto found = std::ranges::find(kNames, name, &Named::name);
    return found != kNames.end() ? std::optional(found->option) : std::nullopt;
}

} // namespace tavrik
