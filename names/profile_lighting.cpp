#include "names/profile_lighting.h"

namespace tavrik {

ProfileLighting LitLighting() {
    ProfileLighting lighting;
    lighting.colours.Fill(kKeyLitAll);
    return lighting;
}

ProfileLighting LightingOf(const LightingState& state) {
    // Without the per-key effect the colour table is neither read nor written: no key is named.
    ProfileLighting lighting{state.effect,    state.brightness, state.speed,
                             state.direction, state.options,    state.colours};
    if (!state.effects.Offers(kPerKeyEffect))
        lighting.colours = LitLighting().colours;
    return lighting;
}

DeviceResult SendLighting(LightingModel& lighting, const ProfileLighting& wanted) {
    DeviceResult result = lighting.Effects().Offers(kPerKeyEffect)
                              ? lighting.SetKeyColours(wanted.colours)
                              : DeviceResult::Done;
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

} // namespace tavrik
