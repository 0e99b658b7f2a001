// tavrikctl names: the names tavrikctl accepts for keys, multimedia and keyboard functions.
#include "assign/key_function_tables.h"
#include "cli/commands.h"
#include "cli/key_names.h"
#include "keys/text.h"

#include <algorithm>
#include <cstdio>

namespace tavrik::cli {

namespace {

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

void AddKeys(JsonValue& document, std::string& text) {
    JsonValue keys = JsonValue::MakeArray();
    text += "keys (name, English name, scan code, key position):\n";
    for (int index = 1; index < kKeyTableSize; ++index) {
        const ScanCode scan = ScanFromKeyIndex(static_cast<KeyIndex>(index));
        if (KeyTableRow(static_cast<KeyIndex>(index)).name.empty())
            continue;
        const std::optional<KeyPosition> position = PositionOf(scan);
        const std::string_view english = EnglishKeyName(scan);
        JsonValue key = JsonValue::MakeObject();
        key.Set("name", KeyToken(scan)).Set("scan", scan);
        if (!english.empty())
            key.Set("englishName", std::string(english));
        key.Set("position", position ? JsonValue(*position) : JsonValue());
        keys.Append(std::move(key));
        text += "  " + KeyToken(scan) + "\t" + std::string(english.empty() ? "-" : english) + "\t" +
                ScanText(scan) + "\t" + (position ? std::to_string(*position) : "-") + "\n";
    }
    document.Set("keys", std::move(keys));
}

void AddMedia(JsonValue& document, std::string& text) {
    JsonValue media = JsonValue::MakeArray();
    text += "media (row, name, English name):\n";
    for (size_t row = 0; row < kMultimediaTable.size(); ++row) {
        const ScanCode scan = kMultimediaTable[row].scan;
        const std::string name = Utf8From(KeyNameFromScan(scan));
        media.Append(JsonValue::MakeObject()
                         .Set("row", row)
                         .Set("name", name)
                         .Set("englishName", std::string(EnglishKeyName(scan)))
                         .Set("consumerUsage", kMultimediaTable[row].consumerUsage));
        text += "  " + std::to_string(row) + "\t" + name + "\t" +
                std::string(EnglishKeyName(scan)) + "\n";
    }
    document.Set("media", std::move(media));
}

void AddFunctions(JsonValue& document, std::string& text) {
    JsonValue functions = JsonValue::MakeArray();
    text += "fn (slot, name, English name):\n";
    for (size_t slot = 0; slot < kAssignableFunctionKeys; ++slot) {
        const std::string name = Utf8From(FunctionKeyName(static_cast<uint32_t>(slot)));
        functions.Append(JsonValue::MakeObject()
                             .Set("slot", slot)
                             .Set("name", name)
                             .Set("englishName", std::string(EnglishFunctionName(slot))));
        text += "  " + std::to_string(slot) + "\t" + name + "\t" +
                std::string(EnglishFunctionName(slot)) + "\n";
    }
    document.Set("fn", std::move(functions));
}

} // namespace

ExitStatus RunNames(const Output& output, const NamesRequest& request) {
    JsonValue document = JsonValue::MakeObject();
    std::string text;
    if (request.list == NameList::All || request.list == NameList::Keys)
        AddKeys(document, text);
    if (request.list == NameList::All || request.list == NameList::Media)
        AddMedia(document, text);
    if (request.list == NameList::All || request.list == NameList::Functions)
        AddFunctions(document, text);
    output.Result(document, text);
    return ExitStatus::Done;
}

} // namespace tavrik::cli
