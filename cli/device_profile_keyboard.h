#pragma once
// The keyboard as the profile operations use it (ProfileKeyboard), over the device commands and
// the shared keyboard facts. It also keeps what the last read of the keyboard gave, so that the
// command line can tell whether the live profile really mirrors the keyboard before it writes
// anything back: a profile rebuilt from a failed read is a default one, and downloading it
// would wipe the keyboard's key maps.

#include "device/device_commands.h"
#include "device/keyboard_facts.h"
#include "profile/profile_keyboard.h"

#include <mutex>
#include <optional>

namespace tavrik::cli {

class DeviceProfileKeyboard final : public ProfileKeyboard {
public:
    DeviceProfileKeyboard(DeviceCommands& commands, KeyboardFacts& facts)
        : commands_(commands)
        , facts_(facts) {}

    int GetActiveProfileIndex() override;
    int CachedActiveProfileIndex() const override;
    void SetActiveProfileIndex(int n) override;
    std::optional<KeyboardContents> ReadContents() override;
    KeyMapBlock DefaultLayout() const override;
    bool Download(const DownloadSnapshot& snapshot, bool allProfiles,
                  const MessageCallback& showMessage) override;

    // The result of the last read of the key maps and macros, and what it gave when it
    // succeeded.
    DeviceResult LastReadResult() const;
    std::optional<KeyboardContents> LastContents() const;

private:
    DeviceCommands& commands_;
    KeyboardFacts& facts_;
    mutable std::mutex mutex_;
    DeviceResult lastReadResult_ = DeviceResult::NoKeyboard;
    std::optional<KeyboardContents> lastContents_;
};

} // namespace tavrik::cli
