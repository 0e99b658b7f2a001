#include "cli/keyboard_session.h"

#include "profile/storage_paths.h"

namespace tavrik::cli {

namespace {

std::string TurnProblem(const KeyboardTurn::Hold& turn, std::chrono::seconds waited) {
    switch (turn.Outcome()) {
    case TurnOutcome::TimedOut:
        return "the keyboard is still in use by " +
               (turn.Problem().empty() ? std::string("another program") : turn.Problem()) +
               " after " + std::to_string(waited.count()) +
               " s; nothing was sent to it (--wait SECONDS waits longer)";
    case TurnOutcome::Failed:
        return "cannot take turns on the keyboard with other programs: " + turn.Problem();
    case TurnOutcome::Cancelled:
    case TurnOutcome::Taken:
        break;
    }
    return "the keyboard's turn was not given";
}

} // namespace

std::unique_ptr<KeyboardSession> KeyboardSession::Open(const DeviceChoice& choice, Console& console,
                                                       std::string* error,
                                                       std::chrono::seconds turnWait) {
    auto documents = std::make_unique<SessionDocuments>(choice.kind == DeviceChoice::Kind::Demo);
    if (documents->Folder().empty()) {
        *error = "cannot create a temporary folder for the demo keyboard's files";
        return nullptr;
    }
    std::unique_ptr<HidBridge> bridge = OpenBridge(choice, error);
    if (!bridge)
        return nullptr;
    return Start(std::move(bridge), console, std::move(documents), error, turnWait);
}

std::unique_ptr<KeyboardSession> KeyboardSession::Start(std::unique_ptr<HidBridge> bridge,
                                                        Console& console,
                                                        std::unique_ptr<SessionDocuments> documents,
                                                        std::string* error,
                                                        std::chrono::seconds turnWait) {
    if (!documents)
        documents = std::make_unique<SessionDocuments>(false);
    std::unique_ptr<KeyboardSession> session(
        new KeyboardSession(std::move(bridge), console, std::move(documents)));
    KeyboardTurn& turn = session->stack_->Turn();
    turn.SetWaitLimit(turnWait);
    turn.SetWaitNotice([&console, turnWait](const std::string& holder) {
        console.Error("waiting up to " + std::to_string(turnWait.count()) +
                      " s for the keyboard: it is in use by " +
                      (holder.empty() ? std::string("another program") : holder));
    });
    session->turn_ = turn.Take();
    if (!session->turn_) {
        if (error)
            *error = TurnProblem(session->turn_, turnWait);
        return nullptr;
    }
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
    turn_.Release();
    stack_->StopLink();
}

} // namespace tavrik::cli
