#pragma once
// Everything a command needs to talk to the keyboard: the chosen transport behind a FrameWatch,
// and on it the same stack of core objects the desktop program uses, reporting to the console
// instead of a window. Opening a session waits until the keyboards attached at start have been
// read: their live profile mirrored and their lighting state read, exactly as the desktop program
// does it when a keyboard arrives. A demo session keeps its files in a private temporary folder.

#include "cli/console.h"
#include "cli/console_window.h"
#include "session/frame_watch.h"
#include "session/keyboard_stack.h"
#include "session/session_documents.h"
#include "transport/backend_selection.h"

#include <memory>
#include <string>

namespace tavrik::cli {

class KeyboardSession {
public:
    // Nothing and the reason when the backend cannot start.
    static std::unique_ptr<KeyboardSession> Open(const DeviceChoice& choice, Console& console,
                                                 std::string* error);
    // On a transport that is already there (tests hand in an emulated keyboard they keep
    // driving); the files go to the user's Documents folder unless documents says otherwise.
    static std::unique_ptr<KeyboardSession>
    Start(std::unique_ptr<HidBridge> bridge, Console& console,
          std::unique_ptr<SessionDocuments> documents = nullptr);
    // Stops the device link first: no reload runs while the rest goes away.
    ~KeyboardSession();

    KeyboardSession(const KeyboardSession&) = delete;
    KeyboardSession& operator=(const KeyboardSession&) = delete;

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
};

} // namespace tavrik::cli
