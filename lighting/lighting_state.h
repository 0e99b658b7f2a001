#pragma once
// The program's copy of the keyboard's lighting, one per process. The keyboard is the only store:
// the copy is refilled from it on every arrival and after every lighting change the keyboard
// reports, and each change the user makes updates the copy and the keyboard together.

#include "lighting/effect_list.h"
#include "lighting/key_colour_table.h"
#include "lighting/lighting_params.h"

#include <array>
#include <cstdint>

namespace tavrik {

enum class LightingDirection : uint8_t { Left = 0, Right = 1 };

// Which of an option's two choices a write marks.
enum class TwoWayChoice : uint8_t { First = 0, Second = 1 };

// What a key click does in the per-key effect.
enum class KeyLightTool : uint8_t { Light = 0, Darken = 1 };

// The two values the lighting panel keeps in the settings file rather than in the keyboard.
struct LightingPreferences {
    int reportRateButton = 1; // 1..4; other values select no button
    bool editMode = false;
};

struct LightingState {
    // The effects the keyboard offers, in the order the effect list shows them.
    EffectList effects;
    // Effect, brightness, speed and direction as the keyboard holds them; 0 before the first read.
    uint8_t effect = 0;
    uint8_t brightness = 0;
    uint8_t speed = 0;
    uint8_t direction = 0;
    // The marked choice of each two-way option, by OptionSlot: 0 the first, 1 the second; a
    // keyboard value beyond 1 is kept as it is and marks neither.
    std::array<uint8_t, kLightingOptionCount> options{};
    // Sent with effects 5 (A) and 4 (B), never read back; a lighting reset sets both.
    uint8_t rainbowA = 0;
    uint8_t rainbowB = 0;
    KeyColourTable colours;
    KeyLightTool tool = KeyLightTool::Light;
    LightingPreferences preferences;

    uint8_t Option(LightingOption option) const {
        return options[static_cast<size_t>(OptionSlot(option))];
    }
    void SetOptionValue(LightingOption option, uint8_t value) {
        options[static_cast<size_t>(OptionSlot(option))] = value;
    }
};

} // namespace tavrik
