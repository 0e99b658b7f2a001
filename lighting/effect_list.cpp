#include "lighting/effect_list.h"

namespace tavrik {

namespace {

constexpr std::u16string_view kEffectNameSection = u"Mode";
constexpr std::u16string_view kMissingEffectName = u"1";

std::u16string DecimalText(int value) {
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

} // namespace

EffectList::EffectList(const DeviceSettings& settings) {
    for (size_t slot = 0; slot < settings_byte::kEffectSlots; ++slot) {
        const uint8_t effect = settings[settings_byte::kFirstEffect + slot];
        if (effect != 0)
            effects_.push_back(effect);
    }
}

int EffectList::IndexOf(int effect) const {
    for (size_t i = 0; i < effects_.size(); ++i) {
        if (effects_[i] == effect)
            return static_cast<int>(i);
    }
    return -1;
}

int EffectList::EffectAt(int index) const {
    if (index < 0 || index >= Size())
        return 0;
    return effects_[static_cast<size_t>(index)];
}

std::u16string EffectName(int effect, const SkinValueLookup& lookup) {
    if (lookup) {
        if (auto name = lookup(kEffectNameSection, DecimalText(effect)))
            return std::move(*name);
    }
    return std::u16string(kMissingEffectName);
}

} // namespace tavrik
