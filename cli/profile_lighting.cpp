#include "cli/profile_lighting.h"

namespace tavrik::cli {

ProfileLighting LitLighting() {
    ProfileLighting lighting;
    lighting.colours.Fill(kKeyLitAll);
    return lighting;
}

ProfileLighting LightingOf(const LightingState& state) {
    return {state.effect,    state.brightness, state.speed,
            state.direction, state.options,    state.colours};
}

DeviceResult SendLighting(LightingModel& lighting, const ProfileLighting& wanted) {
    DeviceResult result = lighting.SetKeyColours(wanted.colours);
    const auto keep = [&result](DeviceResult next) {
        if (result == DeviceResult::Done)
            result = next;
    };
    keep(lighting.SelectEffect(wanted.effect));
    keep(lighting.SetBrightness(wanted.brightness));
    keep(lighting.SetSpeedFromSlider(SliderFromSpeed(wanted.speed)));
    keep(lighting.SetDirection(static_cast<LightingDirection>(wanted.direction)));
    for (const LightingOption option : kLightingOptions)
        keep(lighting.SetOption(
            option,
            static_cast<TwoWayChoice>(wanted.options[static_cast<size_t>(OptionSlot(option))])));
    return result;
}

} // namespace tavrik::cli
