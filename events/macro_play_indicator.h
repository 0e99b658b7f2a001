#pragma once
// Shows in the notification area whether the keyboard is playing a macro. The keyboard's start
// and stop events arrive on the transport's callback thread, which must not wait for the window;
// the icon changes run on a worker of their own, one after the other in the order the events
// came, so the icon of the later event is the one left showing.

#include "events/main_window_port.h"
#include "events/serial_worker.h"

namespace tavrik {

class MacroPlayIndicator {
public:
    explicit MacroPlayIndicator(MainWindowPort& window)
        : window_(window) {}

    // Never blocks.
    void MacroStarted() { Show(kTrayMacroPlaying); }
    void MacroStopped() { Show(kTrayDevice); }

    // Returns once every icon change requested so far has been made.
    void WaitUntilShown() { worker_.WaitUntilIdle(); }

private:
    void Show(int mode) {
        worker_.Post([this, mode](std::stop_token) { window_.SetTrayState(mode, 0); });
    }

    MainWindowPort& window_;
    SerialWorker worker_; // last: stopped before the members its jobs use go away
};

} // namespace tavrik
