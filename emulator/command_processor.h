#pragma once
// How the keyboard answers a configuration report: the command set, its memory areas and the
// refusal rules. Every request gets exactly one answer frame on the CTRL unit.

#include "device/config_frame.h"
#include "emulator/keyboard_memory.h"

#include <cstdint>
#include <optional>
#include <span>

namespace tavrik::emu {

inline constexpr uint8_t kStatusAccepted = 0;

// An answer frame for `request`: report id 4, the request's command, length and address echoed,
// `status` in byte 7, no data, its own checksum.
ConfigFrame AnswerHeader(std::span<const uint8_t, kFrameSize> request, uint8_t status);

// A keyboard that acknowledges a write and stores something else: the byte at `address` of
// `area` (a device address, as the write commands give it) is stored inverted by every write
// that covers it, as a firmware fault or a frame mangled on the way would leave it.
struct StoredByteFlip {
    Area area = Area::KeyMaps;
    uint16_t address = 0;
};

class CommandProcessor {
public:
    // Executes one request against `memory` and returns the answer. Refusals (nothing changed):
    //   0xFF: a frame that is not a configuration request (report id other than 4, checksum that
    //         does not match bytes 3..63) or an unknown command;
    //   0xFE: a length above 56, any byte of the addressed range outside its area, a settings
    //         write that names a hardware profile other than 0..2.
    ConfigFrame Answer(KeyboardMemory& memory, std::span<const uint8_t, kFrameSize> request);

    // Between a begin (1) and an end (2). Writes are accepted outside a bracket as well (the
    // program switches profiles with a lone command 4); they are counted so that tests can see
    // them.
    bool InConfiguration() const { return inConfiguration_; }
    int WritesOutsideBracket() const { return writesOutsideBracket_; }
    void Reset() { inConfiguration_ = false; }
    // Nothing: every write is stored as sent. Settings writes are never flipped.
    void SetStoredByteFlip(std::optional<StoredByteFlip> flip) { storedByteFlip_ = flip; }

private:
    uint8_t Execute(KeyboardMemory& memory, std::span<const uint8_t, kFrameSize> request,
                    ConfigFrame& answer);
    void FlipStoredByte(Area area, uint16_t address, std::span<uint8_t> stored) const;

    bool inConfiguration_ = false;
    int writesOutsideBracket_ = 0;
    std::optional<StoredByteFlip> storedByteFlip_;
};

} // namespace tavrik::emu
