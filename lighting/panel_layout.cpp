#include "lighting/panel_layout.h"

#include "device/lighting_readout.h"
#include "lighting/lighting_params.h"

namespace tavrik {

LightingPanelLayout PanelLayoutFor(bool editMode, int effect) {
    LightingPanelLayout layout;
    layout.speedInReactivePlace = effect == kRainbowReactiveEffect;
    if (!editMode || !IsEffect(effect))
        return layout;
    layout.effectList = true;
    layout.brightness = effect != kRainbowReactiveEffect;
    layout.speed = effect != kPerKeyEffect;
    layout.direction = effect == 1;
    layout.triggerMode = effect == 2;
    layout.breathing = effect == kRainbowBreathingEffect;
    layout.keyTrigger = effect == kRainbowReactiveEffect;
    layout.keyPaint = effect == kPerKeyEffect;
    return layout;
}

} // namespace tavrik
