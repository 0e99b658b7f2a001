// tavrikctl names: the names tavrikctl accepts for keys, multimedia functions, keyboard functions
// and lighting effects. The lists come from the same tables the commands read names from, so
// what is listed is what is accepted; --plain gives the names alone for shell completion.
#include "assign/key_function_tables.h"
#include "cli/commands.h"
#include "cli/lighting_report.h"
#include "keys/text.h"
#include "lighting/lighting_params.h"
#include "names/effect_names.h"
#include "names/function_names.h"
#include "names/key_names.h"

#include <algorithm>
#include <cstdio>

namespace tavrik::cli {

namespace {

// One list: its JSON array and its lines of text, or with --plain the names alone.
struct NameListOutput {
    JsonValue json = JsonValue::MakeArray();
    std::string text;
    std::vector<std::string> plain;
};

std::optional<KeyPosition> PositionOf(ScanCode scan) {
    const std::span<const KeyButton> buttons = KeyButtons();
    const auto button = std::ranges::find(buttons, scan, &KeyButton::scan);
    return button != buttons.end() ? std::optional(button->position) : std::nullopt;
}

std::string ScanText(ScanCode scan) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%03x", static_cast<unsigned>(scan));
    return text;
}

std::string Joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ", ") + name;
    return text;
}

// The text and at least one space, padded to `width` bytes; the names padded are ASCII.
std::string Padded(std::string text, size_t width) {
    text.resize(std::max(text.size() + 1, width), ' ');
    return text;
}

// One line of a list: the columns, then the other names when there are any.
std::string ListLine(const std::string& columns, const std::vector<std::string>& others) {
    std::string line = "  " + columns + Joined(others);
    line.erase(line.find_last_not_of(' ') + 1);
    return line + "\n";
}

JsonValue NamesJson(const std::vector<std::string>& names) {
    JsonValue list = JsonValue::MakeArray();
    for (const std::string& name : names)
        list.Append(name);
    return list;
}

NameListOutput KeyList() {
    NameListOutput list;
    list.text = "keys: name, scan code, key position (- for keys without a light), other names\n";
    for (const ScanCode scan : NamedKeys()) {
        const std::optional<KeyPosition> position = PositionOf(scan);
        const std::string_view english = EnglishKeyName(scan);
        const std::vector<std::string> others = OtherKeyNames(scan);
        JsonValue key = JsonValue::MakeObject();
        key.Set("name", KeyToken(scan)).Set("scan", scan);
        if (!english.empty())
            key.Set("englishName", std::string(english));
        key.Set("aliases", NamesJson(others))
            .Set("position", position ? JsonValue(*position) : JsonValue());
        list.json.Append(std::move(key));
        std::vector<std::string> all = AllNamesOfKey(scan);
        // The first name shown is the English one; the rest follow it, the key table's first.
        std::vector<std::string> rest = all;
        rest.erase(std::ranges::find(rest, KeyDisplayName(scan)));
        list.text += ListLine(Padded(KeyDisplayName(scan), 21) + Padded(ScanText(scan), 6) +
                                  Padded(position ? std::to_string(*position) : "-", 4),
                              rest);
        list.plain.insert(list.plain.end(), all.begin(), all.end());
    }
    return list;
}

NameListOutput MediaList() {
    NameListOutput list;
    list.text = "media: row, name, other names\n";
    for (size_t row = 0; row < kMultimediaTable.size(); ++row) {
        const ScanCode scan = kMultimediaTable[row].scan;
        const std::string name = Utf8From(KeyNameFromScan(scan));
        const std::vector<std::string> others = OtherKeyNames(scan);
        list.json.Append(JsonValue::MakeObject()
                             .Set("row", row)
                             .Set("name", name)
                             .Set("englishName", std::string(EnglishKeyName(scan)))
                             .Set("aliases", NamesJson(others))
                             .Set("consumerUsage", kMultimediaTable[row].consumerUsage));
        std::vector<std::string> names{name};
        names.insert(names.end(), others.begin(), others.end());
        list.text += ListLine(
            Padded(std::to_string(row), 3) + Padded(std::string(EnglishKeyName(scan)), 20), names);
        std::vector<std::string> all = AllNamesOfKey(scan);
        list.plain.insert(list.plain.end(), all.begin(), all.end());
    }
    return list;
}

NameListOutput FunctionList() {
    NameListOutput list;
    list.text = "fn: slot, name, the keyboard's name\n";
    for (size_t slot = 0; slot < kAssignableFunctionKeys; ++slot) {
        const std::string name = Utf8From(FunctionKeyName(static_cast<uint32_t>(slot)));
        const std::string english(EnglishFunctionName(slot));
        list.json.Append(JsonValue::MakeObject()
                             .Set("slot", slot)
                             .Set("name", name)
                             .Set("englishName", english));
        list.text += ListLine(Padded(std::to_string(slot), 3) + Padded(english, 11), {name});
        list.plain.insert(list.plain.end(), {english, name});
    }
    return list;
}

NameListOutput EffectList() {
    NameListOutput list;
    const SkinValueLookup skin = MainSkinLookup();
    list.text = "effects: number, name, the skin's name\n";
    for (int effect = kFirstEffect; effect <= kLastEffect; ++effect) {
        const std::string english(EffectEnglishName(effect));
        const std::string skinName = EffectSkinName(effect, skin);
        list.json.Append(JsonValue::MakeObject()
                             .Set("effect", effect)
                             .Set("englishName", english)
                             .Set("name", skinName.empty() ? JsonValue() : JsonValue(skinName)));
        list.text += ListLine(Padded(std::to_string(effect), 3) + Padded(english, 10),
                              {skinName.empty() ? "-" : skinName});
        list.plain.push_back(english);
        if (!skinName.empty())
            list.plain.push_back(skinName);
    }
    return list;
}

struct ListSpec {
    NameList list;
    std::string_view json;
    NameListOutput (*make)();
};

constexpr ListSpec kListSpecs[] = {
    {NameList::Keys, "keys", KeyList},
    {NameList::Media, "media", MediaList},
    {NameList::Functions, "fn", FunctionList},
    {NameList::Effects, "effects", EffectList},
};

} // namespace

ExitStatus RunNames(const Output& output, const NamesRequest& request) {
    JsonValue document = JsonValue::MakeObject();
    std::string text;
    std::string plain;
    for (const ListSpec& spec : kListSpecs) {
        if (request.list != NameList::All && request.list != spec.list)
            continue;
        NameListOutput list = spec.make();
        document.Set(std::string(spec.json), std::move(list.json));
        text += list.text;
        for (const std::string& name : list.plain)
            plain += name + "\n";
    }
    if (request.plain)
        output.console.Write(plain);
    else
        output.Result(document, text);
    return ExitStatus::Done;
}

} // namespace tavrik::cli
