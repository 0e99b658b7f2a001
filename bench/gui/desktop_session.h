#pragma once
// The desktop program's objects wired the way its start-up wires them (keyboard editor, main
// window, instance server, process state), on the emulated keyboard in this process with its USB
// timing switched on, the skin drawn by the build and a private documents folder. Messages and
// questions for the user are counted and answered No, so no modal box stops a run.

#include "app/instance_server.h"
#include "app/main_window.h"
#include "app/process_state.h"
#include "emulator/emulated_hid_bridge.h"

#include <chrono>
#include <filesystem>
#include <functional>

namespace tavrik::bench {

class DesktopSession {
public:
    DesktopSession(const std::filesystem::path& documents,
                   std::chrono::microseconds reportInterval);

    DesktopSession(const DesktopSession&) = delete;
    DesktopSession& operator=(const DesktopSession&) = delete;

    // Runs the event loop until the window is ready and the keyboard has been read; false when
    // that does not happen within a few seconds.
    bool WaitForKeyboard();
    // Runs the event loop until every keyboard job posted so far has run and the signals it sent
    // have reached the window.
    bool Drain();

    EmulatedHidBridge& Keyboard() { return keyboard_; }
    KeyboardEditor& Editor() { return editor_; }
    CTavrikDlg& Window() { return window_; }
    int UserDialogs() const { return userDialogs_; }

private:
    int userDialogs_ = 0;
    EmulatedHidBridge keyboard_;
    ProcessState state_;
    InstanceServer server_;
    KeyboardEditor editor_;
    CTavrikDlg window_;
};

// Before the QApplication: the offscreen platform unless QT_QPA_PLATFORM names another (no display
// needed), and the preferences the window reads kept in `documents`, never in the user's own.
void UsePrivateDesktop(const std::filesystem::path& documents);

// Runs the event loop until `done` holds, looking every few milliseconds; false when it still
// does not after a few seconds.
bool RunEventLoopUntil(const std::function<bool()>& done);

} // namespace tavrik::bench
