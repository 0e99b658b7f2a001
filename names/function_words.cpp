#include "names/function_words.h"

#include "assign/key_function_tables.h"
#include "keys/text.h"
#include "names/function_names.h"
#include "names/key_names.h"

#include <algorithm>

namespace tavrik {

namespace {

std::string Quoted(std::optional<std::u16string_view> text) {
    return text ? " \"" + Utf8From(*text) + "\"" : std::string();
}

std::string MacroWords(uint32_t id, std::span<const MacroRecord> macros) {
    const auto macro = std::ranges::find(macros, id, &MacroRecord::id);
    if (macro == macros.end())
        return "plays the macro with id " + std::to_string(id) + ", which no longer exists";
    return "plays macro " + Utf8From(StoredMacroName(*macro)) + " (loop count " +
           std::to_string(macro->loopCount) + ")";
}

std::string MultimediaWords(uint32_t row) {
    if (row >= kMultimediaTable.size())
        return "sends the unknown multimedia function " + std::to_string(row);
    return "sends " + KeyDisplayName(kMultimediaTable[row].scan);
}

std::string FunctionKeyWords(uint32_t slot) {
    std::string name(EnglishFunctionName(slot));
    if (name.empty())
        name = Utf8From(FunctionKeyName(slot));
    if (name.empty())
        return "performs the unnamed keyboard function " + std::to_string(slot);
    return "performs the keyboard function " + name;
}

} // namespace

std::string FunctionWords(const KeyFunctionEntry& entry, std::span<const MacroRecord> macros,
                          std::optional<std::u16string_view> text) {
    switch (entry.type) {
    case KeyFunctionType::Default:
        return "keeps its default function";
    case KeyFunctionType::Disabled:
        return "does nothing";
    case KeyFunctionType::SingleKey:
        return entry.value == 0 ? "sends no key"
                                : "sends " + KeyDisplayName(static_cast<ScanCode>(entry.value));
    case KeyFunctionType::LaunchProgram:
        return "starts a program" + Quoted(text);
    case KeyFunctionType::PlayMacro:
        return MacroWords(entry.value, macros);
    case KeyFunctionType::StopMacro:
        return "stops the macro being played";
    case KeyFunctionType::TextBlock:
        return "types a text" + Quoted(text);
    case KeyFunctionType::Multimedia:
        return MultimediaWords(entry.value);
    case KeyFunctionType::FunctionKey:
        return FunctionKeyWords(entry.value);
    }
    return "has a function of the unknown type " +
           std::to_string(static_cast<unsigned>(entry.type));
}

} // namespace tavrik
