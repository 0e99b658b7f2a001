#pragma once
// Everything between the program and the keyboard, wired together and started the way the main
// window's initialisation starts it: the frame exchange and command set on the chosen transport,
// the G-key indicator state, the input listener with its standing reads, and the presence monitor
// fed with the attached count at start and with every later count change. The GUI, the
// command-line tool, the tests and the benchmarks all use it.

#include "device/device_commands.h"
#include "device/frame_exchange.h"
#include "device/hid_bridge.h"
#include "device/keyboard_facts.h"
#include "events/g_key_indicator_state.h"
#include "events/input_listener.h"
#include "events/main_window_port.h"
#include "events/presence_monitor.h"

#include <mutex>

namespace tavrik {

class DeviceLink {
public:
    DeviceLink(HidBridge& bridge, KeyboardFacts& facts, MainWindowPort& window);
    // Stops the presence monitor while the listener still delivers the answers its running
    // handler may be waiting for, then cancels the standing reads.
    ~DeviceLink();

    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    // The standing reads (CONS, then CTRL), then the attached count is asked for and handed to
    // the presence monitor. Called once; returns without waiting for the count's handling.
    void Start();

    DeviceCommands& Commands() { return commands_; }
    KeyboardTurn& Turn() { return exchange_.Turn(); }
    const GKeyIndicatorState& Indicator() const { return indicator_; }
    InputListener& Listener() { return listener_; }
    PresenceMonitor& Presence() { return presence_; }

private:
    void HandOverCount(int32_t count);

    HidBridge& bridge_;
    std::mutex countOrder_;
    FrameExchange exchange_;
    DeviceCommands commands_;
    GKeyIndicatorState indicator_;
    PresenceMonitor presence_;
    InputListener listener_; // after presence_: cancelled before the monitor goes away
};

} // namespace tavrik
