#pragma once
// Lighting effects as they are named on the command line: by number 1..10, by an English name
// that any terminal can type ("wave" ... "aurora"), or by the name the skin shows for them
// ("静态常亮"), compared as key names are (name_matching.h).

#include "lighting/effect_list.h"

#include <string>
#include <string_view>
#include <variant>

namespace tavrik {

// "wave", "ripple", ...; empty outside 1..10.
std::string_view EffectEnglishName(int effect);

// The skin's name of the effect, or empty without a skin or a name in it.
std::string EffectSkinName(int effect, const SkinValueLookup& skin);

// The effect a token names, or why it names none.
std::variant<int, std::string> ResolveEffect(std::string_view token, const SkinValueLookup& skin);

} // namespace tavrik
