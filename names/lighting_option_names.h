#pragma once
// The two-way lighting options by the names the command line and the profile text give them.

#include "lighting/lighting_params.h"

#include <optional>
#include <string_view>

namespace tavrik {

// "trigger-mode", "trigger-area", "press-reaction", "breathing".
std::string_view LightingOptionName(LightingOption option);
std::optional<LightingOption> LightingOptionFromName(std::string_view name);

} // namespace tavrik
