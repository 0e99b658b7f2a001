#pragma once
// The keyboard's configuration commands, one method each. Every command is one frame exchange
// (or a multi-packet transfer of 56-byte frames) through the FrameExchange it was built on.
//
// The key map, macro memory and key colour commands keep what the keyboard is known to hold
// (KnownKeyboardMemory): their writes send only the frames whose bytes differ from it, so that a
// one-key remap costs one frame rather than a whole key map. Each frame that does go out is the
// one the whole write would send there, so the keyboard ends with the same memory either way.
// A write that must go over whatever another program left (a whole configuration) first has the
// frames believed to be there already read again (ConfirmKnownFrames).

#include "device/device_result.h"
#include "device/known_keyboard_memory.h"
#include "device/written_bytes_check.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

namespace tavrik {

class FrameExchange;

inline constexpr size_t kDeviceSettingsSize = 28;
inline constexpr size_t kKeyMapBlockSize = 480;
inline constexpr size_t kLightingParamsSize = 56;
inline constexpr size_t kColourTableChunk = 54; // 18 keys x 3 bytes
inline constexpr int kKeyMapBlockCount = 3;

using DeviceSettings = std::array<uint8_t, kDeviceSettingsSize>;
using KeyMapBlock = std::array<uint8_t, kKeyMapBlockSize>;

namespace settings_byte {
inline constexpr size_t kActiveProfile = 10;
inline constexpr size_t kMacroCapacityUnits = 11; // units of 128 bytes
inline constexpr size_t kFirstEffect = 12;        // bytes 12..25: offered lighting effects
inline constexpr size_t kEffectSlots = 14;
} // namespace settings_byte

// The device address of key map block `index` (0..2), one block per hardware profile.
uint16_t KeyMapBlockAddress(int index);

// One write that is about to be made: `bytes` from `address` on, with `command` (8, 10 or 17),
// in the 56-byte frames a write sends.
struct PlannedWrite {
    uint8_t command = 0;
    uint16_t address = 0;
    std::span<const uint8_t> bytes;
};

class DeviceCommands {
public:
    explicit DeviceCommands(FrameExchange& exchange);

    DeviceResult BeginConfiguration();                                   // 1
    DeviceResult EndConfiguration();                                     // 2 (after a 10 ms pause)
    DeviceResult ReadSettings(DeviceSettings& out);                      // 3
    DeviceResult WriteSettings(const DeviceSettings& settings);          // 4
    DeviceResult ReadLighting(std::span<uint8_t> out, uint16_t address); // 5 (<= 56)
    DeviceResult WriteLighting(std::span<const uint8_t> data, uint16_t address); // 6 (<= 56)
    DeviceResult ReadKeyMapBlock(int index, KeyMapBlock& out);                   // 7
    DeviceResult WriteKeyMapBlock(int index, const KeyMapBlock& block);          // 8
    DeviceResult ReadMacroMemory(std::span<uint8_t> out); // 9, from address 0
    DeviceResult WriteMacroMemory(std::span<const uint8_t> image, uint16_t address = 0); // 10
    DeviceResult ReadDefaultLayout(KeyMapBlock& out);                                    // 15
    DeviceResult ReadKeyColours(uint8_t position, std::span<uint8_t> out);         // 16 (<= 56)
    DeviceResult WriteKeyColours(uint8_t position, std::span<const uint8_t> data); // 17 (<= 56)

    FrameExchange& Exchange() { return exchange_; }

    // Whether the key map, macro memory and key colour writes are read back and compared with
    // what was sent (off by default). A write whose bytes read back differently ends as
    // DiffersAfterWrite, and `listener` (set before any write) hears of each differing frame.
    void CheckWrites(bool on) { checkWrites_ = on; }
    bool ChecksWrites() const { return checkWrites_; }
    void SetDifferingFrameListener(DifferingFrameListener listener) {
        differingFrames_ = std::move(listener);
    }

    // Whether writes send every frame, known or not (off by default).
    void WriteEveryFrame(bool on) { writeEveryFrame_ = on; }
    bool WritesEveryFrame() const { return writeEveryFrame_; }
    // Whether `bytes` at `address` of the area `writeCommand` writes are known to be on the
    // keyboard already, so that writing them would send nothing.
    bool KnownToHold(uint8_t writeCommand, uint16_t address, std::span<const uint8_t> bytes) const;
    // Another keyboard may be attached now: nothing it holds is known until read.
    void ForgetKeyboardMemory() { known_.ForgetAll(); }

    // Makes what is believed of the frames these writes will send true, so that the writes
    // leave exactly their bytes whatever another program did: each frame believed to hold its
    // bytes already is read again, in the order given (a frame believed to differ is not: it is
    // written anyway). A frame that reads otherwise shows that something wrote without taking
    // turns; from then on nothing believed is trusted but the frames read in this call, so the
    // frames left are written as a whole write would send them. A failed read ends it with its
    // result, and nothing is known then. Nothing is read while every frame is written anyway.
    DeviceResult ConfirmKnownFrames(std::span<const PlannedWrite> writes);

private:
    DeviceResult WriteChangedFrames(uint8_t command, uint16_t address,
                                    std::span<const uint8_t> bytes);
    DeviceResult CheckSentFrames(uint8_t command, uint16_t address, std::span<const uint8_t> bytes,
                                 const std::vector<CommandHeader>& sent);
    DeviceResult Remembered(DeviceResult read, uint8_t command, uint16_t address,
                            std::span<const uint8_t> bytes);
    // Forgets everything but `sure`, frames just read from the keyboard.
    void KeepOnly(std::span<const PlannedWrite> sure);

    FrameExchange& exchange_;
    std::atomic<bool> checkWrites_{false};
    std::atomic<bool> writeEveryFrame_{false};
    DifferingFrameListener differingFrames_;
    KnownKeyboardMemory known_;
};

} // namespace tavrik
