#include "cli/console_window.h"

namespace tavrik::cli {

void ConsoleWindow::SetEventSink(EventSink sink) {
    std::lock_guard lock(mutex_);
    sink_ = std::move(sink);
}

std::vector<std::u16string> ConsoleWindow::TakeMessages() {
    std::lock_guard lock(mutex_);
    return std::exchange(messages_, {});
}

void ConsoleWindow::ReloadFromKeyboard() {
    if (reload_)
        reload_();
}

void ConsoleWindow::SetTrayState(int mode, int iconId) {
    // The icons say what happened: a keyboard attached or gone, a macro started or stopped.
    if (mode == kTrayMacroPlaying)
        Emit({KeyboardEventKind::MacroStarted});
    else if (iconId == 0)
        Emit({KeyboardEventKind::MacroStopped});
    else if (iconId == kIconKeyboardAttached)
        Emit({KeyboardEventKind::Attached});
    else if (iconId == kIconNoKeyboard)
        Emit({KeyboardEventKind::Detached});
}

void ConsoleWindow::SetBankLook(bool bankB) {
    Emit({KeyboardEventKind::BankChanged, bankB});
}

void ConsoleWindow::RequestLightingReread() {
    Emit({KeyboardEventKind::LightingChanged});
}

void ConsoleWindow::ShowMessage(std::u16string_view text) {
    console_.SystemMessage(text);
    std::lock_guard lock(mutex_);
    messages_.emplace_back(text);
}

void ConsoleWindow::Emit(KeyboardEvent event) {
    std::lock_guard lock(mutex_);
    if (sink_)
        sink_(event);
}

} // namespace tavrik::cli
