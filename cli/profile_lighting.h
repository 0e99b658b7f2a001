#pragma once
// The keyboard's lighting as a profile text carries it (profile_text.h): what the keyboard itself
// holds of the lighting state, taken from the state read at start and sent back through the
// lighting model, as the lighting commands send it.

#include "lighting/lighting_model.h"

#include <array>
#include <cstdint>

namespace tavrik::cli {

struct ProfileLighting {
    uint8_t effect = kResetEffect;
    uint8_t brightness = 0;
    uint8_t speed = 0; // as the keyboard stores it: 0 fastest
    uint8_t direction = 0;
    std::array<uint8_t, kLightingOptionCount> options{};
    KeyColourTable colours;
    bool operator==(const ProfileLighting&) const = default;
};

// Every key lit (FFFFFF), as "lighting all on" leaves them: the colour of a key a profile text
// does not name.
ProfileLighting LitLighting();

ProfileLighting LightingOf(const LightingState& state);

// Sends every part: the colour table, then effect, brightness, speed, direction and the options
// (each written only as the model can write it: levels 0..25, choices 0 and 1). Gives the first
// failure, Done when every part was sent.
DeviceResult SendLighting(LightingModel& lighting, const ProfileLighting& wanted);

} // namespace tavrik::cli
