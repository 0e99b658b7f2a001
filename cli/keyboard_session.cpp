#include "cli/keyboard_session.h"

#include "cli/profile_mirror.h"
#include "profile/storage_paths.h"

namespace tavrik::cli {

std::unique_ptr<KeyboardSession> KeyboardSession::Open(const DeviceChoice& choice, Console& console,
                                                       std::string* error) {
    std::unique_ptr<HidBridge> bridge = OpenBridge(choice, error);
    if (!bridge)
        return nullptr;
    return Start(std::move(bridge), console);
}

std::unique_ptr<KeyboardSession> KeyboardSession::Start(std::unique_ptr<HidBridge> bridge,
                                                        Console& console) {
    std::unique_ptr<KeyboardSession> session(new KeyboardSession(std::move(bridge), console));
    session->link_->Start();
    session->link_->Presence().WaitUntilHandled();
    return session;
}

KeyboardSession::KeyboardSession(std::unique_ptr<HidBridge> bridge, Console& console)
    : bridge_(std::make_unique<FrameWatch>(std::move(bridge)))
    , window_(console)
    , link_(std::make_unique<DeviceLink>(*bridge_, facts_, window_))
    , deviceKeyboard_(std::make_unique<DeviceProfileKeyboard>(link_->Commands(), facts_))
    , keyboard_(std::make_unique<ReadRecordingKeyboard>(*deviceKeyboard_))
    , store_(std::make_unique<ProfileStore>(profile_, StoragePathsIn(DocumentsFolder()), *keyboard_,
                                            window_))
    // The report rate and the lighting edit mode are panel preferences; the command line has
    // no panel.
    , lighting_(std::make_unique<LightingModel>(link_->Commands(),
                                                [] { return LightingPreferences{}; })) {
    window_.SetReload([this] { ReloadFromKeyboard(); });
}

KeyboardSession::~KeyboardSession() {
    link_.reset();
}

void KeyboardSession::ReloadFromKeyboard() {
    store_->ReloadProfileFromKeyboard(false);
    {
        const std::optional<KeyboardContents> contents = keyboard_->LastContents();
        const LiveProfile::Lock lock = profile_.LockProfile();
        mirrored_ = contents && MirrorsKeyboard(profile_.Record(), profile_.Macros(), *contents,
                                                facts_.DefaultLayout());
    }
    WithLighting(
        [this](LightingModel& lighting) { lightingRead_ = lighting.ReadLightingState(true); });
}

} // namespace tavrik::cli
