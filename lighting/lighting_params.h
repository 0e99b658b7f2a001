#pragma once
// The keyboard's lighting memory: the effect parameters (LightingParams, 56 bytes from address 0)
// and the per-key colour table (KeyColourTable, one RGB triple per key position at address
// position x 3). Offsets are named here; nothing else in the program knows them.

#include "device/lighting_readout.h"

#include <algorithm>
#include <cstdint>

namespace tavrik {

// Lighting effects are numbered 1..10. Effect 6 (kPerKeyEffect) is the per-key effect driven by
// the colour table.
inline constexpr int kFirstEffect = 1;
inline constexpr int kLastEffect = 10;
inline constexpr int kResetEffect = 9;
inline constexpr int kRainbowBreathingEffect = 4; // carries rainbow flag B
inline constexpr int kRainbowReactiveEffect = 5;  // carries rainbow flag A

inline constexpr bool IsEffect(int effect) {
    return effect >= kFirstEffect && effect <= kLastEffect;
}

// Byte offsets inside LightingParams.
namespace lighting_byte {
inline constexpr uint16_t kEffect = 0;
inline constexpr uint16_t kBrightness = 1;
inline constexpr uint16_t kSpeed = 2;
inline constexpr uint16_t kDirection = 4;     // effect 1: 0 left, 1 right
inline constexpr uint16_t kTriggerMode = 5;   // effect 2: 0 triggered, 1 continuous
inline constexpr uint16_t kTriggerArea = 7;   // effect 5: 0 single key, 1 grid
inline constexpr uint16_t kPressReaction = 8; // effect 5: 0 stay lit, 1 flash
inline constexpr uint16_t kBreathing = 9;     // effect 4: 0 all keys, 1 alternating
inline constexpr uint16_t kRainbowA = 18;     // effect 5
inline constexpr uint16_t kRainbowB = 23;     // effect 4
} // namespace lighting_byte

// Brightness and speed both run 0..25. The speed slider runs the other way: the keyboard's
// fastest speed 0 sits at the slider's right end.
inline constexpr int kLevelMax = 25;

inline constexpr uint8_t ClampLevel(int level) {
    return static_cast<uint8_t>(std::clamp(level, 0, kLevelMax));
}
inline constexpr uint8_t SpeedFromSlider(int sliderPosition) {
    return static_cast<uint8_t>(kLevelMax - ClampLevel(sliderPosition));
}
inline constexpr int SliderFromSpeed(uint8_t speed) {
    return kLevelMax - ClampLevel(speed);
}

// The two-way options, named by the LightingParams byte they live in. Choice 0 is the first of
// the pair, 1 the second.
enum class LightingOption : uint16_t {
    TriggerMode = lighting_byte::kTriggerMode,
    TriggerArea = lighting_byte::kTriggerArea,
    PressReaction = lighting_byte::kPressReaction,
    Breathing = lighting_byte::kBreathing,
};
inline constexpr LightingOption kLightingOptions[] = {
    LightingOption::TriggerMode, LightingOption::TriggerArea, LightingOption::PressReaction,
    LightingOption::Breathing};
inline constexpr int kLightingOptionCount = 4;

inline constexpr int OptionSlot(LightingOption option) {
    switch (option) {
    case LightingOption::TriggerMode:
        return 0;
    case LightingOption::TriggerArea:
        return 1;
    case LightingOption::PressReaction:
        return 2;
    case LightingOption::Breathing:
        return 3;
    }
    return 0;
}

} // namespace tavrik
