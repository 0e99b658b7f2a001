#include "session/read_recording_keyboard.h"

namespace tavrik {

std::optional<KeyboardContents> ReadRecordingKeyboard::ReadContents() {
    std::optional<KeyboardContents> contents = keyboard_.ReadContents();
    std::lock_guard lock(mutex_);
    lastContents_ = contents;
    return contents;
}

std::optional<KeyboardContents> ReadRecordingKeyboard::LastContents() const {
    std::lock_guard lock(mutex_);
    return lastContents_;
}

} // namespace tavrik
