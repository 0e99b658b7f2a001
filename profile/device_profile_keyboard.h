#pragma once
// The keyboard of the profile operations, reached through the device commands: the active
// profile cache and the factory key map live in the shared KeyboardFacts.

#include "device/device_commands.h"
#include "device/keyboard_facts.h"
#include "profile/profile_keyboard.h"

namespace tavrik {

class DeviceProfileKeyboard final : public ProfileKeyboard {
public:
    DeviceProfileKeyboard(DeviceCommands& commands, KeyboardFacts& facts);

    int GetActiveProfileIndex() override;
    int CachedActiveProfileIndex() const override;
    // The device refuses indices above 2 without sending anything.
    void SetActiveProfileIndex(int n) override;
    std::optional<KeyboardContents> ReadContents() override;
    KeyMapBlock DefaultLayout() const override;
    std::optional<size_t> MacroCapacity() override;
    DownloadResult Download(const DownloadSnapshot& snapshot, bool allProfiles,
                            const MessageCallback& showMessage) override;

private:
    DeviceCommands& commands_;
    KeyboardFacts& facts_;
};

} // namespace tavrik
