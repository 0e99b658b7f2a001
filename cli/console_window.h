#pragma once
// The main window as the command line has it: no window at all. What the device link and the
// profile operations ask of the window becomes work (reloading the live profile when a keyboard
// arrives), messages on standard error, or keyboard events for `tavrikctl watch`. Nothing is ever
// modified behind the user's back, so no question is ever asked.

#include "cli/console.h"
#include "events/main_window_port.h"
#include "profile/profile_window.h"

#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace tavrik::cli {

enum class KeyboardEventKind {
    Attached,
    Detached,
    BankChanged,
    LightingChanged,
    MacroStarted,
    MacroStopped
};

struct KeyboardEvent {
    KeyboardEventKind kind = KeyboardEventKind::Attached;
    bool bankB = false; // BankChanged: the bank now in force
};

class ConsoleWindow final : public MainWindowPort, public ProfileWindow {
public:
    using Reload = std::function<void()>;
    using EventSink = std::function<void(const KeyboardEvent&)>;

    explicit ConsoleWindow(Console& console)
        : console_(console) {}

    // What a keyboard's arrival does; set before the device link starts.
    void SetReload(Reload reload) { reload_ = std::move(reload); }
    // Where the keyboard's events go from now on; none until set.
    void SetEventSink(EventSink sink);

    // The messages shown since the last call (they have been printed already).
    std::vector<std::u16string> TakeMessages();

    // MainWindowPort: called from the presence worker and the transport's threads.
    void ReloadFromKeyboard() override;
    void Hide() override {}
    bool IsReady() const override { return true; }
    void SetTrayState(int mode, int iconId) override;
    void RefreshGKeyMarks() override {}
    void SetBankLook(bool bankB) override;
    void RequestLightingReread() override;
    // Both interfaces: a message for the user.
    void ShowMessage(std::u16string_view text) override;

    // ProfileWindow.
    bool AskYesNo(std::u16string_view) override { return false; }
    bool IsModified() const override { return false; }
    void EnableApply(bool) override {}
    void Apply() override {}
    void RefreshKeyDescriptions() override {}
    void ShowProfileCaption(std::u16string_view, std::u16string_view) override {}
    bool IsAssignmentDialogOpen() const override { return false; }

private:
    void Emit(KeyboardEvent event);

    Console& console_;
    Reload reload_;
    std::mutex mutex_;
    EventSink sink_;
    std::vector<std::u16string> messages_;
};

} // namespace tavrik::cli
