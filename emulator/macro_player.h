#pragma once
// Plays one stored macro on the keyboard's clock: each step at its time, the pause after it, the
// whole list as many times as its loop count says, announcing the start and the stop.

#include "emulator/hid_event.h"
#include "emulator/stored_macro.h"
#include "emulator/typing_output.h"

#include <cstdint>
#include <map>
#include <optional>

namespace tavrik::emu {

// Where a playing macro stands.
struct MacroPlayback {
    StoredMacro macro;
    size_t step = 0;
    unsigned loopsLeft = 0;
    uint64_t due = 0;             // time of the next step, or of the end when no loop is left
    std::map<HidUsage, int> held; // what the macro pressed and has not released
};

class MacroPlayer {
public:
    // Starts `macro` at `now` (a macro already playing stops first). A loop count of 0, which only
    // a damaged image holds, plays once.
    void Start(StoredMacro macro, uint64_t now, TypingOutput& out);
    // Stops at `now`; whatever the macro still holds down goes up.
    void Stop(uint64_t now, TypingOutput& out);
    // Runs every step due at or before `until`. A macro ends after the pause of its last step;
    // keys it left down go up then, so a macro never leaves a key stuck.
    void RunUntil(uint64_t until, TypingOutput& out);
    // Time of the next step or of the end; nothing when no macro plays.
    std::optional<uint64_t> NextDue() const;
    bool Playing() const { return playback_.has_value(); }
    // Drops the playback without reporting anything (the keyboard lost power).
    void Forget() { playback_.reset(); }

private:
    void RunStep(TypingOutput& out);
    void Finish(uint64_t at, TypingOutput& out);

    std::optional<MacroPlayback> playback_;
};

} // namespace tavrik::emu
