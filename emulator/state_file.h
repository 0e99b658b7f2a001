#pragma once
// The emulated keyboard's whole memory in a file, so a demo keyboard keeps what was downloaded to
// it. Format (little-endian): the 8 bytes "TVKEMEM\0", u16 version (1), u16 zero, the settings
// (28 bytes), lighting (56), key maps 0..2 (3 x 480), default layout (480), colour table with its
// padding (486), u32 macro memory length and the macro memory, then a u32 CRC-32 of everything
// before it. Nothing else may follow.

#include "emulator/keyboard_memory.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tavrik::emu {

inline constexpr uint16_t kStateFileVersion = 1;

std::vector<uint8_t> EncodeState(const KeyboardMemory& memory);
// The memory, or nothing and the reason when the bytes are not a complete, undamaged state of a
// keyboard this emulator can be.
std::optional<KeyboardMemory> DecodeState(std::span<const uint8_t> bytes, std::string* error);

// Writes a temporary file beside `path`, flushes it to disk and renames it over `path`, so the
// file is either the old state or the new one. The macro memory holds what was typed into macros,
// so the file is private (0600) like every file of the user's (files/file_replace.h).
bool SaveStateFile(const std::string& path, const KeyboardMemory& memory, std::string* error);
// Reads only a regular file no larger than the largest state a keyboard can have; nothing and the
// reason ("FILE: not a regular file", "cannot read FILE: Permission denied", ...) otherwise.
std::optional<KeyboardMemory> LoadStateFile(const std::string& path, std::string* error);

} // namespace tavrik::emu
