#pragma once
// The profile operations' keyboard with a memory of its last read. The command line must know
// whether the live profile really mirrors the keyboard before it writes anything back: a profile
// rebuilt after a failed read is a default one, and downloading it would wipe the keyboard's key
// maps. Every call is passed on to the keyboard it wraps.

#include "profile/profile_keyboard.h"

#include <mutex>
#include <optional>

namespace tavrik {

class ReadRecordingKeyboard final : public ProfileKeyboard {
public:
    explicit ReadRecordingKeyboard(ProfileKeyboard& keyboard)
        : keyboard_(keyboard) {}

    int GetActiveProfileIndex() override { return keyboard_.GetActiveProfileIndex(); }
    int CachedActiveProfileIndex() const override { return keyboard_.CachedActiveProfileIndex(); }
    void SetActiveProfileIndex(int n) override { keyboard_.SetActiveProfileIndex(n); }
    std::optional<KeyboardContents> ReadContents() override;
    KeyMapBlock DefaultLayout() const override { return keyboard_.DefaultLayout(); }
    std::optional<size_t> MacroCapacity() override { return keyboard_.MacroCapacity(); }
    DownloadResult Download(const DownloadSnapshot& snapshot, bool allProfiles,
                            const MessageCallback& showMessage) override {
        return keyboard_.Download(snapshot, allProfiles, showMessage);
    }

    // What the last read gave; nothing when it failed or no read was made.
    std::optional<KeyboardContents> LastContents() const;

private:
    ProfileKeyboard& keyboard_;
    mutable std::mutex mutex_;
    std::optional<KeyboardContents> lastContents_;
};

} // namespace tavrik
