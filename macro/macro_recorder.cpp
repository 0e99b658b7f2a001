#include "macro/macro_recorder.h"

#include <algorithm>

namespace tavrik {

void MacroRecorder::Start(uint64_t nowMs) {
    recording_ = true;
    lastEventMs_ = nowMs;
    down_.clear();
}

bool MacroRecorder::KeyEvent(ScanCode key, bool release, bool autoRepeat, uint64_t nowMs) {
    if (!recording_ || key == 0 || autoRepeat)
        return false;
    // Pauses beyond the longest one the editor accepts would not fit the keyboard anyway.
    const auto measured = static_cast<uint32_t>(
        std::min<uint64_t>(nowMs - std::min(nowMs, lastEventMs_), kMaxEditedDelayMs));
    lastEventMs_ = nowMs;
    if (release) {
        if (IsReleaseOnlyKey(key) && !down_.contains(key))
            Add(kSynthesisedPressPauseMs, key, KeyDirection::Press);
        down_.erase(key);
        Add(measured, key, KeyDirection::Release);
    } else {
        down_.insert(key);
        Add(measured, key, KeyDirection::Press);
    }
    return true;
}

void MacroRecorder::Add(uint32_t pauseMs, ScanCode key, KeyDirection direction) {
    editor_.AddRecordedAction(recordDelays_ ? pauseMs : kFixedPauseMs, key,
                              static_cast<uint16_t>(direction), true);
}

} // namespace tavrik
