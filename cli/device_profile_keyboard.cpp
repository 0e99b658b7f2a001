#include "cli/device_profile_keyboard.h"

#include "device/active_profile.h"
#include "device/keyboard_readout.h"

namespace tavrik::cli {

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
    KeyMapsAndMacros read;
    const DeviceResult result = ReadKeyMapsAndMacros(commands_, facts_, read);
    std::optional<KeyboardContents> contents;
    if (result == DeviceResult::Done)
        contents = KeyboardContents{read.keyMaps, std::move(read.macroImage)};
    std::lock_guard lock(mutex_);
    lastReadResult_ = result;
    lastContents_ = contents;
    return contents;
}

KeyMapBlock DeviceProfileKeyboard::DefaultLayout() const {
    return facts_.DefaultLayout();
}

bool DeviceProfileKeyboard::Download(const DownloadSnapshot& snapshot, bool allProfiles,
                                     const MessageCallback& showMessage) {
    const KeyMapBlock defaultLayout = facts_.DefaultLayout();
    const KeyboardMemory memory{defaultLayout, static_cast<size_t>(facts_.MacroCapacity())};
    const DownloadTarget target = allProfiles
                                      ? DownloadTarget::AllProfiles()
                                      : DownloadTarget::ActiveProfile(facts_.ActiveProfile());
    return DownloadToKeyboard(commands_, snapshot, memory, target, showMessage);
}

DeviceResult DeviceProfileKeyboard::LastReadResult() const {
    std::lock_guard lock(mutex_);
    return lastReadResult_;
}

std::optional<KeyboardContents> DeviceProfileKeyboard::LastContents() const {
    std::lock_guard lock(mutex_);
    return lastContents_;
}

} // namespace tavrik::cli
