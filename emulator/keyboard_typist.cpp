#include "emulator/keyboard_typist.h"

#include "emulator/entry_usages.h"

namespace tavrik::emu {

void KeyboardTypist::Press(uint8_t position, const KeyboardMemory& memory) {
    if (position >= kKeyPositions || pressed_[position])
        return;
    const KeyMapBlock& keyMap = memory.ActiveKeyMap();
    const size_t at = size_t{position} * 3;
    const Entry entry{keyMap[at], keyMap[at + 1], keyMap[at + 2]};
    pressed_[position] = entry;
    PressEntry(entry, memory);
    player_.RunUntil(now_, out_);
}

void KeyboardTypist::Release(uint8_t position) {
    if (position >= kKeyPositions || !pressed_[position])
        return;
    const Entry entry = *pressed_[position];
    pressed_[position].reset();
    for (const HidUsage& usage : UsagesOfEntry(entry[0], entry[1], entry[2]))
        out_.typed.Up(usage, now_);
}

void KeyboardTypist::PressEntry(const Entry& entry, const KeyboardMemory& memory) {
    const auto [kind, sub, arg] = entry;
    if (kind == entry_kind::kKeyboardFunction && sub == entry_sub::kPlayMacro) {
        if (auto macro = ReadStoredMacro(memory.macroMemory, arg))
            player_.Start(std::move(*macro), now_, out_);
        return;
    }
    if (kind == entry_kind::kKeyboardFunction && sub == entry_sub::kStopMacro) {
        player_.Stop(now_, out_);
        return;
    }
    for (const HidUsage& usage : UsagesOfEntry(kind, sub, arg))
        out_.typed.Down(usage, now_);
}

void KeyboardTypist::Advance(uint64_t ms) {
    const uint64_t until = now_ + ms;
    player_.RunUntil(until, out_);
    now_ = until;
}

void KeyboardTypist::RunUntilIdle() {
    while (const auto due = player_.NextDue()) {
        if (*due > now_)
            now_ = *due;
        player_.RunUntil(now_, out_);
    }
}

void KeyboardTypist::ReleaseEverything() {
    player_.Stop(now_, out_);
    pressed_.fill(std::nullopt);
    out_.typed.ReleaseAll(now_);
}

void KeyboardTypist::PowerOff() {
    pressed_.fill(std::nullopt);
    player_.Forget();
    out_.typed.Forget();
}

} // namespace tavrik::emu
