#include "profile/device_profile_keyboard.h"

#include "device/active_profile.h"
#include "device/attach_reads.h"
#include "device/keyboard_readout.h"

#include <algorithm>

namespace tavrik {

DeviceProfileKeyboard::DeviceProfileKeyboard(DeviceCommands& commands, KeyboardFacts& facts)
    : commands_(commands)
    , facts_(facts) {}

int DeviceProfileKeyboard::GetActiveProfileIndex() {
    return tavrik::GetActiveProfileIndex(commands_, facts_);
}

int DeviceProfileKeyboard::CachedActiveProfileIndex() const {
    return facts_.ActiveProfile();
}

void DeviceProfileKeyboard::SetActiveProfileIndex(int n) {
    if (n >= 0)
        tavrik::SetActiveProfileIndex(commands_, facts_, n);
}

std::optional<KeyboardContents> DeviceProfileKeyboard::ReadContents() {
    KeyboardContents read;
    if (ReadKeyMapsAndMacros(commands_, facts_, read) != DeviceResult::Done)
        return std::nullopt;
    return read;
}

KeyMapBlock DeviceProfileKeyboard::DefaultLayout() const {
    return facts_.DefaultLayout();
}

std::optional<size_t> DeviceProfileKeyboard::MacroCapacity() {
    // Its read may have failed when the keyboard arrived: ask again.
    if (facts_.MacroCapacity() <= 0 && ReadMacroCapacity(commands_, facts_) != DeviceResult::Done)
        return std::nullopt;
    return static_cast<size_t>(std::max(facts_.MacroCapacity(), 0));
}

DownloadResult DeviceProfileKeyboard::Download(const DownloadSnapshot& snapshot, bool allProfiles,
                                               const MessageCallback& showMessage) {
    // Without the size of the macro memory no image can be judged: nothing is sent.
    const std::optional<size_t> capacity = MacroCapacity();
    if (!capacity)
        return {};
    const KeyboardMemory memory{facts_.DefaultLayout(), *capacity};
    const DownloadTarget target = allProfiles
                                      ? DownloadTarget::AllProfiles()
                                      : DownloadTarget::ActiveProfile(facts_.ActiveProfile());
    return DownloadToKeyboard(commands_, snapshot, memory, target, showMessage);
}

} // namespace tavrik
