#pragma once
// Turns the number of attached keyboards into what the rest of the program needs: a newly
// attached keyboard has its default layout and macro capacity read and the window reloads its
// profile and lighting from it; when the last keyboard goes, the active profile becomes unknown
// and the window hides; the notification-area icon says which of the two is the case.
//
// Counts come from the start-up query and from the transport's count notifications. They are
// handled on one worker thread with a queue rather than on a thread per count: handlers never
// overlap, so each compares against the count its predecessor stored and the stored count is
// always the most recent notification's (with a thread per count the slowest thread would decide);
// the exchanges of two handlers never interleave; and stopping at exit is one join, with no
// thread outliving the objects it uses. Posting never blocks, so neither the transport's
// callback thread nor the window's thread ever waits for a handler.

#include "events/main_window_port.h"
#include "events/serial_worker.h"

#include <atomic>
#include <cstdint>
#include <stop_token>

namespace tavrik {

class DeviceCommands;
class KeyboardFacts;

class PresenceMonitor {
public:
    PresenceMonitor(DeviceCommands& commands, KeyboardFacts& facts, MainWindowPort& window);
    ~PresenceMonitor() { Stop(); }

    PresenceMonitor(const PresenceMonitor&) = delete;
    PresenceMonitor& operator=(const PresenceMonitor&) = delete;

    // Queues the handling of a new count; never blocks. Any thread.
    void OnCountChanged(int32_t count);

    // The last count that was fully handled; 0 at start. Any thread.
    int32_t KeyboardCount() const { return keyboardCount_.load(); }
    // A count is queued or being handled: a keyboard may be arriving right now. Any thread.
    bool CountPending() const { return pendingCounts_.load() > 0; }

    // Returns once every count queued so far has been handled (for hand-overs and tests).
    void WaitUntilHandled() { worker_.WaitUntilIdle(); }

    // Drops the counts not yet handled and waits for the one in progress, which gives up a wait
    // for the window's readiness at once. Not from a window call of this monitor.
    void Stop() { worker_.Stop(); }

private:
    void HandleCount(int32_t count, std::stop_token stop);
    void ReadArrivedKeyboard();
    bool WaitUntilWindowReady(std::stop_token stop);

    DeviceCommands& commands_;
    KeyboardFacts& facts_;
    MainWindowPort& window_;
    std::atomic<int32_t> keyboardCount_{0};
    std::atomic<int> pendingCounts_{0};
    SerialWorker worker_; // last: stopped before the members its jobs use go away
};

} // namespace tavrik
