#pragma once
// A main window that records what the keyboard's events asked of it, in order, from whichever
// thread asked.

#include "events/main_window_port.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tavrik::test {

class RecordingWindow final : public MainWindowPort {
public:
    void ReloadFromKeyboard() override {
        Record("reload");
        if (onReload)
            onReload();
    }
    void Hide() override { Record("hide"); }
    bool IsReady() const override { return ready.load(); }
    void SetTrayState(int mode, int iconId) override {
        if (mode == kTrayMacroPlaying)
            std::this_thread::sleep_for(macroIconDelay);
        Record("tray " + std::to_string(mode) + " " + std::to_string(iconId));
    }
    // Counted apart from the calls: every unchanged count brings one.
    void RecheckKeyboardAccess() override { ++accessRechecks; }
    void RefreshGKeyMarks() override { Record("g-key marks"); }
    void SetBankLook(bool bankB) override { Record(bankB ? "bank B" : "bank A"); }
    void RequestLightingReread() override { Record("lighting reread"); }
    void ShowMessage(std::u16string_view text) override {
        std::lock_guard lock(mutex_);
        calls_.push_back("message");
        messages_.emplace_back(text);
    }

    std::vector<std::string> Calls() const {
        std::lock_guard lock(mutex_);
        return calls_;
    }
    std::vector<std::u16string> Messages() const {
        std::lock_guard lock(mutex_);
        return messages_;
    }
    void Clear() {
        std::lock_guard lock(mutex_);
        calls_.clear();
        messages_.clear();
    }

    std::atomic<bool> ready{true};
    std::atomic<int> accessRechecks{0};
    std::function<void()> onReload; // runs on the presence worker inside ReloadFromKeyboard
    // Makes the macro-playing icon slow to appear, as a busy window would.
    std::chrono::milliseconds macroIconDelay{0};

private:
    void Record(std::string call) {
        std::lock_guard lock(mutex_);
        calls_.push_back(std::move(call));
    }

    mutable std::mutex mutex_;
    std::vector<std::string> calls_;
    std::vector<std::u16string> messages_;
};

} // namespace tavrik::test
