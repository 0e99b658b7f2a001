#pragma once
// The keyboard's lighting as a profile text carries it (profile_text.h): what the keyboard itself
// holds of the lighting state, taken from the state read at start and sent back through the
// lighting model, as the lighting commands send it.

#include "lighting/lighting_model.h"

#include <array>
#include <cstdint>

namespace tavrik {

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

// The keyboard's lighting; a keyboard without the per-key effect keeps no key colours (its table
// is neither read nor written), and every key is taken as lit.
ProfileLighting LightingOf(const LightingState& state);

// Sends every part: the colour table (only to a keyboard with the per-key effect), then effect,
// brightness, speed, direction and the options (levels as the model writes them, 0..25). Gives
// the first failure, Done when every part was sent.
DeviceResult SendLighting(LightingModel& lighting, const ProfileLighting& wanted);

} // namespace tavrik
