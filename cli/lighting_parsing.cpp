// tavrikctl lighting show|effect|brightness|speed|direction|option|key|all|reset ...
#include "cli/command_parsing.h"

#include "cli/lighting_report.h"
#include "names/effect_names.h"
#include "names/key_names.h"
#include "names/lighting_option_names.h"

#include <algorithm>
#include <array>
#include <span>

namespace tavrik::cli {

namespace {

std::optional<bool> ParseOnOff(std::string_view word) {
    if (word == "on")
        return true;
    if (word == "off")
        return false;
    return std::nullopt;
}

std::optional<LightingOption> ParseLightingOption(std::string_view word) {
    if (const std::optional<LightingOption> named = LightingOptionFromName(word))
        return named;
    for (const LightingOption option : kLightingOptions)
        if (ParseDecimal(word, 255) == static_cast<unsigned>(option))
            return option;
    return std::nullopt;
}

// A key position by number ("18", "pos:18") or by the name of a key that has one; or why the
// word names none.
std::variant<int, std::string> ParseLightingKey(std::string_view word) {
    const bool prefixed = word.starts_with(kPositionPrefix);
    const std::string_view number = prefixed ? word.substr(kPositionPrefix.size()) : word;
    if (const std::optional<int> position = ParseNumber(number, 0, kKeyPositionCount - 1))
        return *position;
    if (prefixed)
        return RangeText("a key position", 0, kKeyPositionCount - 1);
    auto scan = ResolveKeyToken(word);
    if (auto* problem = std::get_if<std::string>(&scan))
        return std::move(*problem);
    const std::span<const KeyButton> buttons = KeyButtons();
    const auto button = std::ranges::find(buttons, std::get<ScanCode>(scan), &KeyButton::scan);
    if (button == buttons.end())
        return Quoted(word) + " has no light of its own; the key must be a position from 0 to " +
               std::to_string(kKeyPositionCount - 1) + " or a key of the keyboard";
    return int{button->position};
}

Parsed ParseLightingWords(const Arguments& arguments, LightingRequest request) {
    const std::vector<std::string_view>& words = arguments.words;
    switch (request.verb) {
    case LightingVerb::Show:
    case LightingVerb::Reset:
        return request;
    case LightingVerb::Effect: {
        auto effect = ResolveEffect(words[1], MainSkinLookup());
        if (auto* problem = std::get_if<std::string>(&effect))
            return Misuse(arguments, std::move(*problem));
        request.value = std::get<int>(effect);
        return request;
    }
    case LightingVerb::Brightness:
    case LightingVerb::Speed:
        if (const auto level = ParseNumber(words[1], 0, kLevelMax)) {
            request.value = *level;
            return request;
        }
        return Misuse(arguments, RangeText(request.verb == LightingVerb::Speed ? "the speed"
                                                                               : "the brightness",
                                           0, kLevelMax));
    case LightingVerb::Direction:
        if (words[1] != "left" && words[1] != "right")
            return Misuse(arguments, "the direction must be left or right");
        request.value = words[1] == "right" ? 1 : 0;
        return request;
    case LightingVerb::Option: {
        const std::optional<LightingOption> option = ParseLightingOption(words[1]);
        if (!option)
            return Misuse(arguments, "the option must be 5, 7, 8, 9 or trigger-mode, "
                                     "trigger-area, press-reaction, breathing");
        const std::optional<int> choice = ParseNumber(words[2], 0, 1);
        if (!choice)
            return Misuse(arguments, "the option's value must be 0 or 1");
        request.option = *option;
        request.value = *choice;
        return request;
    }
    case LightingVerb::Key:
    case LightingVerb::All: {
        const bool key = request.verb == LightingVerb::Key;
        if (key) {
            auto position = ParseLightingKey(words[1]);
            if (auto* problem = std::get_if<std::string>(&position))
                return Misuse(arguments, std::move(*problem));
            request.value = std::get<int>(position);
        }
        const std::string_view onOff = words[key ? 2 : 1];
        const std::optional<bool> on = ParseOnOff(onOff);
        if (!on)
            return Misuse(arguments, "expected on or off, not " + Quoted(onOff));
        request.on = *on;
        return request;
    }
    }
    return request;
}

constexpr std::array<VerbSpec<LightingVerb>, 9> kLightingVerbs{{
    {"show", LightingVerb::Show, 0, ""},
    {"effect", LightingVerb::Effect, 1, "the effect's number or name"},
    {"brightness", LightingVerb::Brightness, 1, "the brightness"},
    {"speed", LightingVerb::Speed, 1, "the speed"},
    {"direction", LightingVerb::Direction, 1, "the direction"},
    {"option", LightingVerb::Option, 2, "the option and its value"},
    {"key", LightingVerb::Key, 2, "the key and on or off"},
    {"all", LightingVerb::All, 1, "on or off"},
    {"reset", LightingVerb::Reset, 0, ""},
}};

} // namespace

Parsed ParseLighting(const Arguments& arguments) {
    if (arguments.words.empty())
        return Misuse(arguments, "missing the lighting command");
    const auto spec =
        std::ranges::find(kLightingVerbs, arguments.words[0], &VerbSpec<LightingVerb>::word);
    if (spec == kLightingVerbs.end())
        return Misuse(arguments,
                      UnknownVerbText("lighting command", arguments.words[0], kLightingVerbs));
    Arguments rest = arguments;
    rest.words.erase(rest.words.begin());
    if (auto error = ExpectWords(rest, spec->words, spec->expected))
        return *error;
    LightingRequest request;
    request.verb = spec->verb;
    return ParseLightingWords(arguments, request);
}

} // namespace tavrik::cli
