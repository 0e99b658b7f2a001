#pragma once
// The keyboard's configuration commands, one method each. Every command is one frame exchange
// (or a multi-packet transfer of 56-byte frames) through the FrameExchange it was built on.
//
// The key map, macro memory and key colour commands keep what the keyboard is known to hold
// (KnownKeyboardMemory): their writes send only the frames whose bytes differ from it, so that a
// one-key remap costs one frame rather than a whole key map. Each frame that does go out is the
// one the whole write would send there, so the keyboard ends with the same memory either way.

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

private:
    DeviceResult WriteChangedFrames(uint8_t command, uint16_t address,
                                    std::span<const uint8_t> bytes);
    DeviceResult CheckSentFrames(uint8_t command, uint16_t address, std::span<const uint8_t> bytes,
                                 const std::vector<CommandHeader>& sent);
    DeviceResult Remembered(DeviceResult read, uint8_t command, uint16_t address,
                            std::span<const uint8_t> bytes);

    FrameExchange& exchange_;
    std::atomic<bool> checkWrites_{false};
    std::atomic<bool> writeEveryFrame_{false};
    DifferingFrameListener differingFrames_;
    KnownKeyboardMemory known_;
};

} // namespace tavrik
