#pragma once
// The macro recorder as a model: while the macro tab records, every key event of the application
// becomes an action row of the shown macro (MacroEditor::AddRecordedAction: after the selected
// row, which it then becomes). With the record-delays option each pause is the time measured
// since the previous event on a monotonic clock, kept as the keyboard plays it (down to its
// 10 ms step); without it every pause is 50 ms. Auto-repeats record nothing. Sys Req, KL, KR and
// Print Screen reach some systems only as a release: such a release gets a press first (2 ms
// before it, which the keyboard plays as no pause) when no press of the key was recorded.

#include "keys/key_table.h"
#include "macro/macro_editor.h"

#include <cstdint>
#include <set>

namespace tavrik {

class MacroRecorder {
public:
    static constexpr uint32_t kFixedPauseMs = 50;
    static constexpr uint32_t kSynthesisedPressPauseMs = 2;

    explicit MacroRecorder(MacroEditor& editor)
        : editor_(editor) {}

    // The pauses measured from now on; no key is down yet.
    void Start(uint64_t nowMs);
    void Stop() { recording_ = false; }
    bool IsRecording() const { return recording_; }
    void SetRecordDelays(bool on) { recordDelays_ = on; }

    // A key event while recording, with the time it happened. Returns whether rows were added.
    bool KeyEvent(ScanCode key, bool release, bool autoRepeat, uint64_t nowMs);

private:
    void Add(uint32_t pauseMs, ScanCode key, KeyDirection direction);

    MacroEditor& editor_;
    bool recording_ = false;
    bool recordDelays_ = false;
    uint64_t lastEventMs_ = 0;
    std::set<ScanCode> down_; // keys whose press was recorded and not yet released
};

} // namespace tavrik
