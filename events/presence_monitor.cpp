#include "events/presence_monitor.h"

#include "device/attach_reads.h"
#include "device/keyboard_facts.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace tavrik {

namespace {

// How often a handler looks whether the window has finished its initialisation.
constexpr std::chrono::milliseconds kReadyPollInterval{50};

} // namespace

PresenceMonitor::PresenceMonitor(DeviceCommands& commands, KeyboardFacts& facts,
                                 MainWindowPort& window)
    : commands_(commands)
    , facts_(facts)
    , window_(window) {}

void PresenceMonitor::OnCountChanged(int32_t count) {
    ++pendingCounts_;
    worker_.Post([this, count](std::stop_token stop) {
        HandleCount(count, stop);
        --pendingCounts_;
    });
}

void PresenceMonitor::HandleCount(int32_t count, std::stop_token stop) {
    if (count == keyboardCount_.load()) {
        window_.RecheckKeyboardAccess();
        return;
    }
    if (count == 0) {
        // Known before the window hides: a request to open it that comes meanwhile (a second
        // start, a click on the icon) finds no keyboard instead of showing the window again.
        keyboardCount_.store(0);
        facts_.ForgetActiveProfile();
        window_.Hide();
    } else {
        ReadArrivedKeyboard();
        window_.ReloadFromKeyboard();
    }
    if (!WaitUntilWindowReady(stop))
        return;
    window_.SetTrayState(kTrayDevice, count != 0 ? kIconKeyboardAttached : kIconNoKeyboard);
    keyboardCount_.store(count);
}

void PresenceMonitor::ReadArrivedKeyboard() {
    ReadAttachedKeyboard(commands_, facts_,
                         [this](std::u16string_view message) { window_.ShowMessage(message); });
}

bool PresenceMonitor::WaitUntilWindowReady(std::stop_token stop) {
    std::mutex mutex;
    std::condition_variable_any stopped;
    std::unique_lock lock(mutex);
    while (!window_.IsReady()) {
        // Nothing notifies this variable: the wait ends after the interval or on a stop request.
        stopped.wait_for(lock, stop, kReadyPollInterval, [] { return false; });
        if (stop.stop_requested())
            return false;
    }
    return true;
}

} // namespace tavrik
