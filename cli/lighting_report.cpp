#include "cli/lighting_report.h"

#include "app/app_paths.h"
#include "keys/text.h"
#include "names/effect_names.h"
#include "skin/ini_file.h"

#include <array>
#include <memory>
#include <system_error>

#ifndef TAVRIK_APP_DIR
#define TAVRIK_APP_DIR "lib/tavrik"
#endif

namespace tavrik::cli {

namespace {

struct OptionName {
    LightingOption option;
    std::string_view json;
    std::string_view text;
};

constexpr std::array<OptionName, kLightingOptionCount> kOptionNames{{
    {LightingOption::TriggerMode, "triggerMode", "trigger mode (5)"},
    {LightingOption::TriggerArea, "triggerArea", "trigger area (7)"},
    {LightingOption::PressReaction, "pressReaction", "press reaction (8)"},
    {LightingOption::Breathing, "breathing", "breathing (9)"},
}};

// The effect's name, or nothing without a skin file.
JsonValue NameJson(int effect, const SkinValueLookup& names) {
    return names ? JsonValue(Utf8From(EffectName(effect, names))) : JsonValue();
}

// "9 neon (霓虹渐变)", or "9 neon" without a name in the skin.
std::string NumberAndName(int effect, const SkinValueLookup& names) {
    std::string text = std::to_string(effect);
    if (const std::string_view english = EffectEnglishName(effect); !english.empty())
        text += " " + std::string(english);
    const std::string skinName = EffectSkinName(effect, names);
    return skinName.empty() ? text : text + " (" + skinName + ")";
}

std::string_view DirectionName(uint8_t direction) {
    if (direction == static_cast<uint8_t>(LightingDirection::Left))
        return "left";
    return direction == static_cast<uint8_t>(LightingDirection::Right) ? "right" : "unknown";
}

JsonValue LitKeysJson(const LightingState& state) {
    JsonValue lit = JsonValue::MakeArray();
    for (int position = 0; position < kKeyPositionCount; ++position) {
        if (state.colours.KeyLit(static_cast<KeyPosition>(position)))
            lit.Append(position);
    }
    return lit;
}

} // namespace

SkinValueLookup MainSkinLookup() {
    const std::optional<std::filesystem::path> executable = CurrentExecutable();
    if (!executable)
        return {};
    const AppPaths beside = AppPathsFromExecutable(*executable);
    const AppPaths installed =
        AppPathsFromExecutable(beside.appFolder / ".." / TAVRIK_APP_DIR / beside.exeFileName);
    std::error_code error;
    for (const AppPaths& paths : {beside, installed}) {
        if (std::filesystem::is_regular_file(paths.mainSkinFile, error)) {
            auto skin = std::make_shared<CIniFile>(paths.mainSkinFile);
            return [skin](std::u16string_view section, std::u16string_view key) {
                return skin->GetString(section, key);
            };
        }
    }
    return {};
}

JsonValue EffectsJson(const EffectList& effects, const SkinValueLookup& names) {
    JsonValue list = JsonValue::MakeArray();
    for (const uint8_t effect : effects.Effects())
        list.Append(JsonValue::MakeObject()
                        .Set("effect", effect)
                        .Set("englishName", std::string(EffectEnglishName(effect)))
                        .Set("name", NameJson(effect, names)));
    return list;
}

std::string EffectsText(const EffectList& effects, const SkinValueLookup& names) {
    std::string text;
    for (const uint8_t effect : effects.Effects())
        text += (text.empty() ? "" : ", ") + NumberAndName(effect, names);
    return text.empty() ? "none" : text;
}

JsonValue LightingJson(const LightingState& state, const EffectList& effects,
                       const SkinValueLookup& names) {
    JsonValue options = JsonValue::MakeObject();
    for (const OptionName& option : kOptionNames)
        options.Set(std::string(option.json), state.Option(option.option));
    JsonValue lighting = JsonValue::MakeObject();
    lighting.Set("effect", state.effect)
        .Set("effectName", NameJson(state.effect, names))
        .Set("effectEnglishName", std::string(EffectEnglishName(state.effect)))
        .Set("brightness", state.brightness)
        .Set("speed", SliderFromSpeed(state.speed))
        .Set("speedByte", state.speed)
        .Set("direction", std::string(DirectionName(state.direction)))
        .Set("options", std::move(options));
    if (effects.Offers(kPerKeyEffect))
        lighting.Set("litKeys", LitKeysJson(state));
    return lighting;
}

std::string LightingText(const LightingState& state, const EffectList& effects,
                         const SkinValueLookup& names) {
    std::string text = "effect " + NumberAndName(state.effect, names) + ", brightness " +
                       std::to_string(state.brightness) + " of 25, speed " +
                       std::to_string(SliderFromSpeed(state.speed)) + " of 25, direction " +
                       std::string(DirectionName(state.direction)) + "\noptions:";
    for (const OptionName& option : kOptionNames)
        text += " " + std::string(option.text) + " " + std::to_string(state.Option(option.option)) +
                (option.option == LightingOption::Breathing ? "" : ",");
    if (effects.Offers(kPerKeyEffect)) {
        int lit = 0;
        for (int position = 0; position < kKeyPositionCount; ++position)
            lit += state.colours.KeyLit(static_cast<KeyPosition>(position)) ? 1 : 0;
        text += "\nkeys lit by the per-key tool: " + std::to_string(lit);
    }
    return text;
}

} // namespace tavrik::cli
