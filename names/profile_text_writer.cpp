// Writing a profile as text (profile_text.h).
#include "assign/key_function_tables.h"
#include "keys/text.h"
#include "names/action_text.h"
#include "names/function_names.h"
#include "names/key_names.h"
#include "names/profile_lighting_text.h"
#include "names/profile_text.h"
#include "names/profile_text_words.h"
#include "names/quoted_text.h"
#include "profile/text_packing.h"

#include <cstdio>

namespace tavrik {

namespace {

std::string HexBytes(std::span<const uint8_t> bytes) {
    std::string text;
    for (const uint8_t byte : bytes) {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02X", byte);
        text += hex;
    }
    return text;
}

std::string_view TypeWord(KeyFunctionType type) {
    for (const FunctionWord& known : kFunctionWords)
        if (known.type == type)
            return known.word;
    return {};
}

// The name the value of a typed entry is written by; nothing when the value has no name that
// leads back to it, and the entry is then written raw.
std::optional<std::string> ValueName(const KeyFunctionEntry& entry) {
    const std::string none;
    switch (entry.type) {
    case KeyFunctionType::SingleKey: {
        if (entry.value > 0xFFFF)
            return std::nullopt;
        const std::string token = KeyToken(static_cast<ScanCode>(entry.value));
        if (ScanFromKeyToken(token) != entry.value)
            return std::nullopt;
        return QuoteText(Utf16From(token));
    }
    case KeyFunctionType::PlayMacro:
        if (entry.value == 0 || entry.value > kMaxMacroId)
            return std::nullopt;
        return std::to_string(entry.value);
    case KeyFunctionType::Multimedia: {
        if (entry.value >= kMultimediaTable.size())
            return std::nullopt;
        const std::string token = KeyToken(kMultimediaTable[entry.value].scan);
        if (MultimediaRowFromToken(token) != entry.value)
            return std::nullopt;
        return QuoteText(Utf16From(token));
    }
    case KeyFunctionType::FunctionKey: {
        const std::string name(EnglishFunctionName(entry.value));
        if (name.empty() || FunctionSlotFromToken(name) != entry.value)
            return std::nullopt;
        return QuoteText(Utf16From(name));
    }
    default:
        return none;
    }
}

bool HasNamedValue(KeyFunctionType type) {
    return type == KeyFunctionType::SingleKey || type == KeyFunctionType::PlayMacro ||
           type == KeyFunctionType::Multimedia || type == KeyFunctionType::FunctionKey;
}

std::string NumberField(std::string_view word, uint32_t value) {
    return " " + std::string(word) + " " + std::to_string(value);
}

// The function part of an entry's line: its word and what it names.
std::string FunctionText(const KeyFunctionEntry& entry, std::optional<std::u16string_view> text) {
    const std::string_view word = TypeWord(entry.type);
    const std::optional<std::string> name = ValueName(entry);
    if (word.empty() || !name)
        return std::string(kRawWord) + " " + std::to_string(static_cast<unsigned>(entry.type)) +
               " " + std::to_string(entry.value);
    if (CarriesText(entry))
        return std::string(word) + " " + (text ? QuoteText(*text) : std::string(kNoText));
    return name->empty() ? std::string(word) : std::string(word) + " " + *name;
}

// The fields of an entry a new profile does not have.
std::string ExtraFields(const KeyFunctionEntry& entry, const KeyFunctionEntry& usual,
                        std::optional<std::u16string_view> text) {
    std::string fields;
    if (entry.code != usual.code)
        fields += NumberField("code", entry.code);
    // A text's offset is the entry's value on file; it is computed again when the file is made.
    const bool rawValue =
        !TypeWord(entry.type).empty() && ValueName(entry).has_value() && !HasNamedValue(entry.type);
    if (rawValue && !(text && CarriesText(entry)) && entry.value != 0)
        fields += NumberField("value", entry.value);
    if (entry.selectionFlag != 0)
        fields += NumberField("flag", entry.selectionFlag);
    if (entry.reserved != 0)
        fields += NumberField("reserved", entry.reserved);
    if (text && !CarriesText(entry))
        fields += " " + std::string(kWithTextWord) + " " + QuoteText(*text);
    return fields;
}

std::string EntryLines(const ProfileContents& contents) {
    const ProfileRecord usual = DefaultProfileRecord();
    std::string lines;
    for (size_t number = 0; number < kProfileEntryCount; ++number) {
        const KeyFunctionEntry& entry = contents.record.Entry(number);
        const std::optional<std::u16string_view> text = contents.texts.Text(number);
        if (entry == usual.Entry(number) && !text)
            continue;
        lines += "layer " + std::to_string(number / kLayerSlots) + " " +
                 SlotToken(number % kLayerSlots) + " " + FunctionText(entry, text) +
                 ExtraFields(entry, usual.Entry(number), text) + "\n";
    }
    return lines;
}

std::string MacroLines(const MacroRecord& macro) {
    std::string lines = "macro " + std::to_string(macro.id) + " " +
                        QuoteText(StoredMacroName(macro)) + NumberField("loop", macro.loopCount);
    if (macro.reserved501 != 0)
        lines += NumberField("reserved501", macro.reserved501);
    if (macro.isNew)
        lines += " new";
    if (macro.reserved504 != 0)
        lines += NumberField("reserved504", macro.reserved504);
    if (macro.reserved510 != 0)
        lines += NumberField("reserved510", macro.reserved510);
    lines += "\n";
    for (const MacroAction& action : StoredMacroActions(macro))
        lines += "  " + FormatAction(action) + "\n";
    return lines + "end\n";
}

} // namespace

std::string FormatProfileText(const ProfileContents& contents, const ProfileLighting* lighting) {
    std::string text = std::string(kProfileTextFirstLine) + "\n";
    if (contents.record.identity != kIdentityBlock)
        text += "identity " + HexBytes(contents.record.identity) + "\n";
    text += EntryLines(contents);
    for (const MacroRecord& macro : contents.macros)
        text += MacroLines(macro);
    if (lighting)
        text += LightingLines(*lighting);
    return text;
}

} // namespace tavrik
