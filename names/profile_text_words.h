#pragma once
// The words a profile text names slots and key functions by, shared by its writer and reader.

#include "assign/key_function_entry.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tavrik {

// A slot of a layer as the text names it: a key's name in quotes ("Caps Lock"), G1/A..G9/B for
// the macro keys, slot:N for the slots that name nothing.
std::string SlotToken(size_t slot);
// The slot a bare word names (G1/A, slot:300); nothing for other words.
std::optional<size_t> SlotFromWord(std::string_view word);
// The slot a quoted key name names; nothing when it names no key of the layer.
std::optional<size_t> SlotFromKeyName(std::string_view name);

struct FunctionWord {
    KeyFunctionType type;
    std::string_view word;
};
// The word of each type the program knows; other types are written as "raw TYPE VALUE".
inline constexpr std::array<FunctionWord, 9> kFunctionWords{{
    {KeyFunctionType::Default, "default"},
    {KeyFunctionType::Disabled, "disabled"},
    {KeyFunctionType::SingleKey, "key"},
    {KeyFunctionType::LaunchProgram, "program"},
    {KeyFunctionType::PlayMacro, "macro"},
    {KeyFunctionType::StopMacro, "stop-macro"},
    {KeyFunctionType::TextBlock, "text"},
    {KeyFunctionType::Multimedia, "media"},
    {KeyFunctionType::FunctionKey, "function"},
}};

// The word "none" stands in place of the text of a program or text entry that has none.
inline constexpr std::string_view kNoText = "none";
inline constexpr std::string_view kRawWord = "raw";
inline constexpr std::string_view kWithTextWord = "with-text";

} // namespace tavrik
