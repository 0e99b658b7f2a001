#include "names/profile_lighting_text.h"

#include "keys/key_table.h"
#include "keys/text.h"
#include "names/effect_names.h"
#include "names/key_names.h"
#include "names/lighting_option_names.h"
#include "names/quoted_text.h"
#include "profile/decimal_text.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <vector>

namespace tavrik {

namespace {

constexpr std::string_view kPositionPrefix = "pos:";
constexpr std::string_view kRawWord = "raw";

// The position a key's name gives: its first button's.
std::optional<KeyPosition> PositionOfKey(ScanCode scan) {
    const std::span<const KeyButton> buttons = KeyButtons();
    const auto button = std::ranges::find(buttons, scan, &KeyButton::scan);
    return button != buttons.end() ? std::optional(button->position) : std::nullopt;
}

// A position by a key's name in quotes when that name leads back to it, else pos:N.
std::string PositionToken(KeyPosition position) {
    for (const KeyButton& button : KeyButtons()) {
        if (button.position != position)
            continue;
        const std::string name = KeyToken(button.scan);
        const std::optional<ScanCode> scan = ScanFromKeyToken(name);
        if (scan && PositionOfKey(*scan) == position)
            return QuoteText(Utf16From(name));
    }
    return std::string(kPositionPrefix) + std::to_string(position);
}

std::string Hex(const ColourTriple& triple) {
    char text[7];
    std::snprintf(text, sizeof text, "%02X%02X%02X", triple[0], triple[1], triple[2]);
    return text;
}

std::string EffectWord(uint8_t effect) {
    const std::string_view name = EffectEnglishName(effect);
    return name.empty() ? std::to_string(effect) : std::string(name);
}

std::string SpeedWords(uint8_t speed) {
    return speed > kLevelMax ? std::string(kRawWord) + " " + std::to_string(speed)
                             : std::to_string(SliderFromSpeed(speed));
}

std::string DirectionWord(uint8_t direction) {
    return direction == 0 ? "left" : direction == 1 ? "right" : std::to_string(direction);
}

std::optional<LightingWords> SplitWords(std::string_view rest) {
    LightingWords split;
    size_t at = rest.find_first_not_of(' ');
    while (at != std::string_view::npos) {
        if (rest[at] == '"') {
            const std::optional<QuotedToken> token = ReadQuotedText(rest.substr(at));
            if (!token)
                return std::nullopt;
            split.quoted = Utf8From(token->text);
            split.words.emplace_back(); // its place
            at += token->length;
        } else {
            const size_t end = std::min(rest.size(), rest.find(' ', at));
            split.words.emplace_back(rest.substr(at, end - at));
            at = end;
        }
        at = rest.find_first_not_of(' ', at);
    }
    return split;
}

std::optional<uint8_t> Byte(std::string_view word) {
    const std::optional<unsigned> value = ParseDecimal(word, 255);
    return value ? std::optional(static_cast<uint8_t>(*value)) : std::nullopt;
}

std::optional<ColourTriple> Colour(std::string_view word) {
    ColourTriple triple{};
    if (word.size() != 2 * triple.size())
        return std::nullopt;
    for (size_t at = 0; at < triple.size(); ++at) {
        const char* digits = word.data() + 2 * at;
        const auto [end, error] = std::from_chars(digits, digits + 2, triple[at], 16);
        if (error != std::errc{} || end != digits + 2)
            return std::nullopt;
    }
    return triple;
}

} // namespace

std::string LightingLines(const ProfileLighting& lighting) {
    std::string lines = "lighting effect " + EffectWord(lighting.effect) + "\n" +
                        "lighting brightness " + std::to_string(lighting.brightness) + "\n" +
                        "lighting speed " + SpeedWords(lighting.speed) + "\n" +
                        "lighting direction " + DirectionWord(lighting.direction) + "\n";
    for (const LightingOption option : kLightingOptions)
        lines += "lighting option " + std::string(LightingOptionName(option)) + " " +
                 std::to_string(lighting.options[static_cast<size_t>(OptionSlot(option))]) + "\n";
    const KeyColourTable usual = LitLighting().colours;
    for (KeyPosition position = 0; position < kKeyPositionCount; ++position)
        if (const ColourTriple triple = lighting.colours.Triple(position);
            triple != usual.Triple(position))
            lines += "lighting key " + PositionToken(position) + " " + Hex(triple) + "\n";
    return lines;
}

std::optional<std::string> LightingLineReader::Read(std::string_view rest) {
    any_ = true;
    const std::optional<LightingWords> split = SplitWords(rest);
    if (!split || split->words.empty())
        return "expected effect, brightness, speed, direction, option or key after lighting";
    const std::vector<std::string>& words = split->words;
    if (words[0] == "key")
        return ReadKey(*split);
    const std::string field =
        words[0] == "option" && words.size() > 1 ? "option " + words[1] : words[0];
    if (!seen_.insert(field).second)
        return "expected each lighting line once, found \"lighting " + field + "\" again";
    if (words[0] == "effect")
        return ReadEffect(words);
    if (words[0] == "brightness")
        return ReadByte(words, "brightness", lighting_.brightness);
    if (words[0] == "speed")
        return ReadSpeed(words);
    if (words[0] == "direction")
        return ReadDirection(words);
    if (words[0] == "option")
        return ReadOption(words);
    return "expected effect, brightness, speed, direction, option or key after lighting, found \"" +
           words[0] + "\"";
}

std::optional<std::string> LightingLineReader::Missing() const {
    if (!any_)
        return std::nullopt;
    std::vector<std::string> wanted{"effect", "brightness", "speed", "direction"};
    for (const LightingOption option : kLightingOptions)
        wanted.push_back("option " + std::string(LightingOptionName(option)));
    for (const std::string& field : wanted)
        if (!seen_.contains(field))
            return "expected a line \"lighting " + field + " ...\" in the lighting";
    return std::nullopt;
}

std::optional<std::string> LightingLineReader::ReadEffect(const std::vector<std::string>& words) {
    if (words.size() != 2)
        return "expected lighting effect NAME|NUMBER";
    for (int effect = kFirstEffect; effect <= kLastEffect; ++effect)
        if (words[1] == EffectEnglishName(effect)) {
            lighting_.effect = static_cast<uint8_t>(effect);
            return std::nullopt;
        }
    return ReadByte(words, "effect", lighting_.effect);
}

std::optional<std::string> LightingLineReader::ReadSpeed(const std::vector<std::string>& words) {
    if (words.size() == 3 && words[1] == kRawWord)
        return ReadByte({words[0], words[2]}, "speed", lighting_.speed);
    const std::optional<unsigned> slider =
        words.size() == 2 ? ParseDecimal(words[1], kLevelMax) : std::nullopt;
    if (!slider)
        return "expected lighting speed 0..25 (the slider) or lighting speed raw 0..255";
    lighting_.speed = SpeedFromSlider(static_cast<int>(*slider));
    return std::nullopt;
}

std::optional<std::string>
LightingLineReader::ReadDirection(const std::vector<std::string>& words) {
    if (words.size() == 2 && (words[1] == "left" || words[1] == "right")) {
        lighting_.direction = words[1] == "left" ? 0 : 1;
        return std::nullopt;
    }
    return ReadByte(words, "direction (left, right or a number)", lighting_.direction);
}

std::optional<std::string> LightingLineReader::ReadOption(const std::vector<std::string>& words) {
    const std::optional<LightingOption> option =
        words.size() == 3 ? LightingOptionFromName(words[1]) : std::nullopt;
    if (!option)
        return "expected lighting option trigger-mode|trigger-area|press-reaction|breathing VALUE";
    return ReadByte({"option " + words[1], words[2]}, "option value",
                    lighting_.options[static_cast<size_t>(OptionSlot(*option))]);
}

std::optional<std::string> LightingLineReader::ReadKey(const LightingWords& split) {
    const std::vector<std::string>& words = split.words;
    const std::optional<ColourTriple> colour = words.size() == 3 ? Colour(words[2]) : std::nullopt;
    if (!colour)
        return "expected lighting key \"NAME\"|pos:N RRGGBB";
    std::optional<KeyPosition> position;
    if (split.quoted && words[1].empty()) {
        const std::variant<ScanCode, std::string> scan = ResolveKeyToken(*split.quoted);
        if (const auto* problem = std::get_if<std::string>(&scan))
            return "expected a key with a light: " + *problem;
        position = PositionOfKey(std::get<ScanCode>(scan));
    } else if (words[1].starts_with(kPositionPrefix)) {
        const std::optional<unsigned> number = ParseDecimal(
            std::string_view(words[1]).substr(kPositionPrefix.size()), kKeyPositionCount - 1);
        if (number)
            position = static_cast<KeyPosition>(*number);
    }
    if (!position)
        return "expected a key with a light (a name in quotes, or pos:0..159), found " + words[1];
    if (!keysSeen_.insert(*position).second)
        return "expected each key's colour once, found key position " + std::to_string(*position) +
               " again";
    lighting_.colours.SetTriple(*position, *colour);
    return std::nullopt;
}

std::optional<std::string> LightingLineReader::ReadByte(const std::vector<std::string>& words,
                                                        std::string_view what, uint8_t& into) {
    const std::optional<uint8_t> value = words.size() == 2 ? Byte(words[1]) : std::nullopt;
    if (!value)
        return "expected lighting " + words[0] + " and the " + std::string(what) +
               " (a number from 0 to 255)";
    into = *value;
    return std::nullopt;
}

} // namespace tavrik
