#pragma once
// Multimedia functions and keyboard functions as they are named on the command line: by number
// or by name, compared as key names are (name_matching.h).

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace tavrik {

// A row of the multimedia table: its number 0..17, or any name of its key ("Volume Up", "音量加",
// "XF86AudioRaiseVolume", "KEY_VOLUMEUP", ...); or why the token names none.
std::variant<size_t, std::string> ResolveMultimediaRow(std::string_view token);
std::optional<size_t> MultimediaRowFromToken(std::string_view token);

// A keyboard function the assignment offers (slots 0..10): its slot number or its name ("打开" or
// "Open", ..., "放大" or "Zoom In"); or why the token names none.
std::variant<size_t, std::string> ResolveFunctionSlot(std::string_view token);
std::optional<size_t> FunctionSlotFromToken(std::string_view token);

// The English name of a keyboard function slot; empty for slots the assignment does not offer.
std::string_view EnglishFunctionName(size_t slot);

} // namespace tavrik
