#include "emulator/macro_player.h"

#include "emulator/entry_usages.h"
#include "emulator/keyboard_events.h"

#include <algorithm>

namespace tavrik::emu {

void MacroPlayer::Start(StoredMacro macro, uint64_t now, TypingOutput& out) {
    Stop(now, out);
    const unsigned loops = macro.steps.empty() ? 0 : std::max<unsigned>(macro.loopCount, 1);
    playback_.emplace();
    playback_->macro = std::move(macro);
    playback_->loopsLeft = loops;
    playback_->due = now;
    out.events.push_back(keyboard_event::kMacroStarted);
}

void MacroPlayer::Stop(uint64_t now, TypingOutput& out) {
    if (playback_)
        Finish(now, out);
}

void MacroPlayer::RunUntil(uint64_t until, TypingOutput& out) {
    while (playback_ && playback_->due <= until) {
        if (playback_->loopsLeft == 0)
            Finish(playback_->due, out);
        else
            RunStep(out);
    }
}

std::optional<uint64_t> MacroPlayer::NextDue() const {
    if (!playback_)
        return std::nullopt;
    return playback_->due;
}

void MacroPlayer::RunStep(TypingOutput& out) {
    MacroPlayback& p = *playback_;
    const MacroStep& step = p.macro.steps[p.step];
    for (const HidUsage& usage : UsagesOfEntry(step.kind, step.sub, step.arg)) {
        if (step.press) {
            ++p.held[usage];
            out.typed.Down(usage, p.due);
        } else if (const auto held = p.held.find(usage); held != p.held.end()) {
            if (--held->second == 0)
                p.held.erase(held);
            out.typed.Up(usage, p.due);
        }
    }
    p.due += uint64_t{step.pauseUnits} * kPauseUnitMs;
    if (++p.step == p.macro.steps.size()) {
        p.step = 0;
        --p.loopsLeft;
    }
}

void MacroPlayer::Finish(uint64_t at, TypingOutput& out) {
    for (const auto& [usage, count] : playback_->held) {
        for (int i = 0; i < count; ++i)
            out.typed.Up(usage, at);
    }
    playback_.reset();
    out.events.push_back(keyboard_event::kMacroStopped);
}

} // namespace tavrik::emu
