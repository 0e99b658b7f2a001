#pragma once
// Everything a command needs to talk to the keyboard: the chosen transport behind a FrameWatch,
// and on it the same stack of core objects the desktop program uses, reporting to the console
// instead of a window. Opening a session waits until the keyboards attached at start have been
// read: their live profile mirrored and their lighting state read, exactly as the desktop program
// does it when a keyboard arrives. A demo session keeps its files in a private temporary folder.
//
// A session has the keyboard's turn from before that first read until it ends (or until
// ReleaseTurn): no other program talks to the keyboard in between, so a command's read, change,
// download and store file are all of one piece. Waiting for the turn says so on the console
// after a second.

#include "cli/console.h"
#include "cli/console_window.h"
#include "session/frame_watch.h"
#include "session/keyboard_stack.h"
#include "session/session_documents.h"
#include "transport/backend_selection.h"

#include <chrono>
#include <memory>
#include <string>

namespace tavrik::cli {

class KeyboardSession {
public:
    // Nothing and the reason when the backend cannot start or the keyboard's turn did not come
    // within `turnWait`.
    static std::unique_ptr<KeyboardSession> Open(const DeviceChoice& choice, Console& console,
                                                 std::string* error,
                                                 std::chrono::seconds turnWait = kDefaultTurnWait);
    // On a transport that is already there (tests hand in an emulated keyboard they keep
    // driving); the files go to the user's Documents folder unless documents says otherwise.
    static std::unique_ptr<KeyboardSession>
    Start(std::unique_ptr<HidBridge> bridge, Console& console,
          std::unique_ptr<SessionDocuments> documents = nullptr, std::string* error = nullptr,
          std::chrono::seconds turnWait = kDefaultTurnWait);
    // Stops the device link first: no reload runs while the rest goes away.
    ~KeyboardSession();

    KeyboardSession(const KeyboardSession&) = delete;
    KeyboardSession& operator=(const KeyboardSession&) = delete;

    // Lets other programs have the keyboard between this session's operations (a command that
    // runs on, watching the keyboard's events); each operation then takes its own turn.
    void ReleaseTurn() { turn_.Release(); }

    int KeyboardCount() { return stack_->KeyboardCount(); }
    bool KeyboardNotAccessible() const { return bridge_->KeyboardPresentButNotAccessible(); }
    bool ProfileMirrorsKeyboard() const { return stack_->ProfileMirrorsKeyboard(); }

    FrameWatch& Watch() { return *bridge_; }
    DeviceCommands& Commands() { return stack_->Commands(); }
    KeyboardFacts& Facts() { return stack_->Facts(); }
    LiveProfile& Profile() { return stack_->Profile(); }
    ProfileStore& Store() { return stack_->Store(); }
    ReadRecordingKeyboard& Keyboard() { return stack_->Keyboard(); }
    ConsoleWindow& Window() { return window_; }
    KeyboardStack& Stack() { return *stack_; }

    template <typename Fn>
    decltype(auto) WithLighting(Fn&& fn) {
        return stack_->WithLighting(std::forward<Fn>(fn));
    }
    DeviceResult LightingReadResult() { return stack_->LightingReadResult(); }

private:
    KeyboardSession(std::unique_ptr<HidBridge> bridge, Console& console,
                    std::unique_ptr<SessionDocuments> documents);

    std::unique_ptr<SessionDocuments> documents_;
    std::unique_ptr<FrameWatch> bridge_;
    ConsoleWindow window_;
    std::unique_ptr<KeyboardStack> stack_;
    KeyboardTurn::Hold turn_; // given back before the device link stops
};

} // namespace tavrik::cli
