#include "names/effect_names.h"

#include "keys/text.h"
#include "lighting/lighting_params.h"
#include "names/key_names.h"
#include "names/name_matching.h"

#include <algorithm>
#include <array>
#include <vector>

namespace tavrik {

namespace {

// What each effect does, for the shipped skin's names: flowing wave, spreading ripples, steady
// light, breathing, lit by the keys pressed, per-key lighting, rainbow cycle, twinkling stars,
// neon fade and drifting aurora.
constexpr std::array<std::string_view, kLastEffect> kEnglishEffectNames{
    "wave",    "ripple",  "static",    "breathing", "reactive",
    "per-key", "rainbow", "starlight", "neon",      "aurora"};

std::vector<KnownName> EffectNames(const SkinValueLookup& skin) {
    std::vector<KnownName> names;
    for (int effect = kFirstEffect; effect <= kLastEffect; ++effect) {
        const auto value = static_cast<size_t>(effect);
        names.push_back({std::string(EffectEnglishName(effect)), value, 0});
        if (std::string skinName = EffectSkinName(effect, skin); !skinName.empty())
            names.push_back({std::move(skinName), value, 0});
    }
    return names;
}

} // namespace

std::string_view EffectEnglishName(int effect) {
    return IsEffect(effect) ? kEnglishEffectNames[static_cast<size_t>(effect - kFirstEffect)]
                            : std::string_view{};
}

std::string EffectSkinName(int effect, const SkinValueLookup& skin) {
    if (!skin)
        return {};
    // The skin's rule names an effect without a name "1"; that is no name to type.
    std::string name = Utf8From(EffectName(effect, skin));
    const bool digits = std::ranges::all_of(name, [](char c) { return c >= '0' && c <= '9'; });
    return digits ? std::string() : name;
}

std::variant<int, std::string> ResolveEffect(std::string_view token, const SkinValueLookup& skin) {
    if (const std::optional<unsigned> number = ParseDecimal(token, kLastEffect);
        number && static_cast<int>(*number) >= kFirstEffect)
        return static_cast<int>(*number);
    const NameMatch match = MatchName(token, EffectNames(skin));
    if (match.value)
        return static_cast<int>(*match.value);
    return UnknownNameText("effect", token, match.closest,
                           "an effect is a number from 1 to 10 or a name tavrikctl names "
                           "effects lists");
}

} // namespace tavrik
