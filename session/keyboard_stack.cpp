#include "session/keyboard_stack.h"

#include "session/profile_mirror.h"

namespace tavrik {

KeyboardStack::KeyboardStack(HidBridge& bridge, MainWindowPort& port, ProfileWindow& window,
                             StoragePaths storage, LightingPreferencesSource preferences)
    : link_(std::make_unique<DeviceLink>(bridge, facts_, port))
    , deviceKeyboard_(std::make_unique<DeviceProfileKeyboard>(link_->Commands(), facts_))
    , keyboard_(std::make_unique<ReadRecordingKeyboard>(*deviceKeyboard_))
    , store_(std::make_unique<ProfileStore>(profile_, std::move(storage), *keyboard_, window))
    , lighting_(std::make_unique<LightingModel>(link_->Commands(), std::move(preferences))) {}

KeyboardStack::~KeyboardStack() {
    StopLink();
}

void KeyboardStack::ReloadFromKeyboard(bool keepModified) {
    store_->ReloadProfileFromKeyboard(keepModified);
    {
        const std::optional<KeyboardContents> contents = keyboard_->LastContents();
        const LiveProfile::Lock lock = profile_.LockProfile();
        mirrored_ = contents && MirrorsKeyboard(profile_.Record(), profile_.Macros(), *contents,
                                                facts_.DefaultLayout());
    }
    WithLighting(
        [this](LightingModel& lighting) { lightingRead_ = lighting.ReadLightingState(true); });
}

} // namespace tavrik
