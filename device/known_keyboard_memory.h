#pragma once
// What the keyboard is known to hold in the areas written in frames: the key maps, the macro
// memory and the per-key colours. A byte is known when it was read from the keyboard, or written
// and read back equal since; anything else (never read, a failed read, written without the read
// back, another keyboard attached since) is not, and a write sends every frame that touches it.

#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <span>
#include <vector>

namespace tavrik {

class KnownKeyboardMemory {
public:
    // The area is named by the command that reads it (7 key maps, 9 macro memory, 16 colours).
    void Learn(uint8_t readCommand, uint16_t address, std::span<const uint8_t> bytes);
    void Forget(uint8_t readCommand, uint16_t address, size_t length);
    void ForgetAll();

    // Whether every byte from `address` on is known to equal `bytes`.
    bool Holds(uint8_t readCommand, uint16_t address, std::span<const uint8_t> bytes) const;

private:
    struct Area {
        std::vector<uint8_t> bytes;
        std::vector<bool> known;
    };

    mutable std::mutex mutex_;
    std::map<uint8_t, Area> areas_;
};

} // namespace tavrik
