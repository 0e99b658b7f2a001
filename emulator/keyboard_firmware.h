#pragma once
// The keyboard as its firmware behaves: memory areas, the configuration commands, its own events
// (G-key bank, lighting hot-key, macro play) and typing. Synchronous and single-threaded; the
// bridges add USB timing, faults and threads around it.

#include "device/config_frame.h"
#include "device/hid_bridge.h"
#include "emulator/command_processor.h"
#include "emulator/firmware_config.h"
#include "emulator/keyboard_memory.h"
#include "emulator/keyboard_typist.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace tavrik::emu {

// An input report the keyboard sends to the computer.
struct OutputReport {
    UnitTag unit = UnitTag::None;
    std::vector<uint8_t> bytes;
    bool operator==(const OutputReport&) const = default;
};

using LedStatus = std::array<uint8_t, 2>;

class KeyboardFirmware {
public:
    explicit KeyboardFirmware(const FirmwareConfig& config = {});

    // One configuration report in, its answer out (see CommandProcessor for the refusals).
    ConfigFrame Answer(std::span<const uint8_t, kFrameSize> request);

    // The G-key bank key: flips the keyboard's bank (0 = A, 1 = B) and reports 0x02FF.
    void ToggleBank();
    // The lighting hot-key: the next offered effect (after the current one, wrapping) becomes the
    // effect, and 0x0401 is reported. A keyboard that offers no effect only reports.
    void LightingHotKey();
    // Reports an event code of the keyboard's own on the CONS unit.
    void SendConsumerEvent(uint16_t code);
    // The computer wrote the 2-byte indicator status (LED unit); kept in order of arrival.
    void ReceiveLedStatus(const LedStatus& status) { ledStatusWrites_.push_back(status); }

    void Press(uint8_t position);
    void Release(uint8_t position);
    void Advance(uint64_t ms);
    void RunUntilIdle();
    uint64_t Now() const { return typist_.Now(); }
    bool MacroPlaying() const { return typist_.MacroPlaying(); }
    // The HID events typed since the last call.
    std::vector<HidEvent> TakeTyped() { return typist_.Output().typed.Take(); }

    // Reports waiting to go to the computer, oldest first; taking them empties the queue.
    std::vector<OutputReport> TakeReports();

    // Power lost (unplugged): no configuration bracket open, no key held, no macro playing, no
    // report waiting; the G-key bank starts at A again. Memory keeps its contents.
    void PowerOff();

    // Replaces the whole memory, as flashing a saved state does; typing starts afresh.
    void LoadMemory(KeyboardMemory memory);

    const KeyboardMemory& Memory() const { return memory_; }
    KeyboardMemory& Memory() { return memory_; }
    uint8_t Bank() const { return bank_; }
    bool InConfiguration() const { return commands_.InConfiguration(); }
    int WritesOutsideBracket() const { return commands_.WritesOutsideBracket(); }
    // Stores one byte inverted from now on (see StoredByteFlip); nothing stores writes as sent.
    void SetStoredByteFlip(std::optional<StoredByteFlip> flip) {
        commands_.SetStoredByteFlip(flip);
    }
    const std::vector<LedStatus>& LedStatusWrites() const { return ledStatusWrites_; }

private:
    void CollectTypingEvents();

    KeyboardMemory memory_;
    CommandProcessor commands_;
    KeyboardTypist typist_;
    uint8_t bank_ = 0;
    std::vector<LedStatus> ledStatusWrites_;
    std::vector<OutputReport> outbox_;
};

} // namespace tavrik::emu
