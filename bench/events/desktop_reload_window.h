#pragma once
// The desktop program's main window as the core sees it during the arrival of a keyboard, without
// the window: the reload does on the calling thread what the keyboard editor's reload job does on
// its worker (the stack's reload, then the profile menu), and the key buttons are described from
// the freshly loaded layer as the editor describes them. Everything the desktop program would
// only show is dropped; messages are counted, since any message means a read failed.

#include "assign/key_description.h"
#include "session/keyboard_stack.h"

#include <atomic>
#include <chrono>
#include <optional>

namespace tavrik::bench {

class DesktopReloadWindow final : public MainWindowPort, public ProfileWindow {
public:
    using Clock = std::chrono::steady_clock;

    // The stack this window belongs to; before the stack starts.
    void Attach(KeyboardStack& stack) { stack_ = &stack; }
    Clock::time_point ReloadedAt() const { return reloadedAt_; }
    int Messages() const { return messages_.load(); }

    // MainWindowPort.
    void ReloadFromKeyboard() override {
        stack_->ReloadFromKeyboard();
        stack_->Store().BuildProfileMenu();
        reloadedAt_ = Clock::now();
    }
    void Hide() override {}
    bool IsReady() const override { return true; }
    void SetTrayState(int, int) override {}
    void RefreshGKeyMarks() override {}
    void SetBankLook(bool) override {}
    void RequestLightingReread() override {}
    void ShowMessage(std::u16string_view) override { ++messages_; }

    // ProfileWindow.
    bool AskYesNo(std::u16string_view) override { return false; }
    bool IsModified() const override { return false; }
    void EnableApply(bool) override {}
    void Apply() override {}
    void RefreshKeyDescriptions() override {
        DroppedLooks view;
        LiveProfile& profile = stack_->Profile();
        tavrik::RefreshKeyDescriptions(view, profile.Record().layers, profile.Macros(),
                                       ActiveLayer(), stack_->Link().Indicator().BankB());
    }
    void ShowProfileCaption(std::u16string_view, std::u16string_view) override {}
    bool IsAssignmentDialogOpen() const override { return false; }

private:
    class DroppedLooks final : public KeyButtonView {
    public:
        void SetKeyDescription(int, const KeyDescription&) override {}
    };

    std::optional<size_t> ActiveLayer() const {
        const int index = stack_->Keyboard().CachedActiveProfileIndex();
        if (index < 0 || index >= static_cast<int>(kHardwareProfileCount))
            return std::nullopt;
        return static_cast<size_t>(index);
    }

    KeyboardStack* stack_ = nullptr;
    Clock::time_point reloadedAt_{};
    std::atomic<int> messages_{0};
};

} // namespace tavrik::bench
