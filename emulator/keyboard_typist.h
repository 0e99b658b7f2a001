#pragma once
// Runs the active hardware profile's key map when keys are pressed and released, as the firmware
// does at typing time, on a virtual clock measured in milliseconds.

#include "emulator/keyboard_memory.h"
#include "emulator/macro_player.h"
#include "emulator/typing_output.h"

#include <array>
#include <cstdint>
#include <optional>

namespace tavrik::emu {

inline constexpr size_t kKeyPositions = kKeyMapBlockSize / 3;

class KeyboardTypist {
public:
    // The key's function is taken from the active key map at the press and kept until the release,
    // so a key released after a profile switch or a download lets go of what it pressed.
    // Positions outside 0..159, a second press of a held key and a release of a free key do
    // nothing.
    void Press(uint8_t position, const KeyboardMemory& memory);
    void Release(uint8_t position);

    // Moves the clock on, playing whatever a macro has due on the way.
    void Advance(uint64_t ms);
    // Moves the clock on until no macro plays any more.
    void RunUntilIdle();

    uint64_t Now() const { return now_; }
    bool MacroPlaying() const { return player_.Playing(); }
    TypingOutput& Output() { return out_; }

    // Every held key lets go and a playing macro stops, reported at the current time.
    void ReleaseEverything();
    // The keyboard lost power: no key is held, no macro plays, nothing is reported.
    void PowerOff();

private:
    using Entry = std::array<uint8_t, 3>;

    void PressEntry(const Entry& entry, const KeyboardMemory& memory);

    std::array<std::optional<Entry>, kKeyPositions> pressed_{};
    uint64_t now_ = 0;
    MacroPlayer player_;
    TypingOutput out_;
};

} // namespace tavrik::emu
