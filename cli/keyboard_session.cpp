#include "cli/keyboard_session.h"

#include "profile/storage_paths.h"

namespace tavrik::cli {

std::unique_ptr<KeyboardSession> KeyboardSession::Open(const DeviceChoice& choice, Console& console,
                                                       std::string* error) {
    auto documents = std::make_unique<SessionDocuments>(choice.kind == DeviceChoice::Kind::Demo);
    if (documents->Folder().empty()) {
        *error = "cannot create a temporary folder for the demo keyboard's files";
        return nullptr;
    }
    std::unique_ptr<HidBridge> bridge = OpenBridge(choice, error);
    if (!bridge)
        return nullptr;
    return Start(std::move(bridge), console, std::move(documents));
}

std::unique_ptr<KeyboardSession>
KeyboardSession::Start(std::unique_ptr<HidBridge> bridge, Console& console,
                       std::unique_ptr<SessionDocuments> documents) {
    if (!documents)
        documents = std::make_unique<SessionDocuments>(false);
    std::unique_ptr<KeyboardSession> session(
        new KeyboardSession(std::move(bridge), console, std::move(documents)));
    session->stack_->Start();
    session->stack_->Link().Presence().WaitUntilHandled();
    return session;
}

KeyboardSession::KeyboardSession(std::unique_ptr<HidBridge> bridge, Console& console,
                                 std::unique_ptr<SessionDocuments> documents)
    : documents_(std::move(documents))
    , bridge_(std::make_unique<FrameWatch>(std::move(bridge)))
    , window_(console)
    // The report rate and the lighting edit mode are panel preferences; the command line has
    // no panel.
    , stack_(std::make_unique<KeyboardStack>(*bridge_, window_, window_,
                                             StoragePathsIn(documents_->Folder()),
                                             [] { return LightingPreferences{}; })) {
    bridge_->FollowWriteChecks(stack_->Commands());
    window_.SetReload([this] { stack_->ReloadFromKeyboard(); });
}

KeyboardSession::~KeyboardSession() {
    stack_->StopLink();
}

} // namespace tavrik::cli
