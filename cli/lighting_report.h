#pragma once
// The lighting state and the effects a keyboard offers, as text and as JSON, for `info` and
// `lighting show`. Effect names come from the main skin file, as in the desktop program.

#include "cli/json.h"
#include "lighting/effect_list.h"
#include "lighting/lighting_state.h"

#include <string>

namespace tavrik::cli {

// Looks effect names up in "Skins/Main.ini" beside this program, or in the desktop program's
// installed folder; nothing when neither exists, and then effects are shown by number only
// (the skin's rule of naming a missing key "1" would name every effect "1").
SkinValueLookup MainSkinLookup();

JsonValue EffectsJson(const EffectList& effects, const SkinValueLookup& names);
// "1 wave (流光波浪), 2 ripple (涟漪扩散), ..." or "none".
std::string EffectsText(const EffectList& effects, const SkinValueLookup& names);

// Speed is shown as the panel's slider: 0 slowest .. 25 fastest (the keyboard stores 25 - it).
JsonValue LightingJson(const LightingState& state, const EffectList& effects,
                       const SkinValueLookup& names);
// Lines without a trailing newline each, joined by newlines.
std::string LightingText(const LightingState& state, const EffectList& effects,
                         const SkinValueLookup& names);

} // namespace tavrik::cli
