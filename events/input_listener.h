#pragma once
// The one callback through which the transport reports everything the keyboard sends and every
// change of the attached count: configuration answers go to the waiting exchange, count changes
// to the presence monitor, and the keyboard's own events (bank switched, lighting changed, macro
// started or stopped) to the window.
//
// Everything the keyboard sends is untrusted: unknown kinds, tags and codes, and reports shorter
// than the fields read, are ignored; nothing is read past a report's stated length.

#include "device/hid_bridge.h"
#include "events/g_key_indicator_state.h"
#include "events/macro_play_indicator.h"
#include "events/main_window_port.h"

#include <cstdint>
#include <functional>

namespace tavrik {

class FrameExchange;

class InputListener {
public:
    // Receives each new count of attached keyboards; must not block (it is called on the
    // transport's callback thread).
    using CountSink = std::function<void(int32_t count)>;

    InputListener(HidBridge& bridge, FrameExchange& exchange, GKeyIndicatorState& indicator,
                  MainWindowPort& window, CountSink countChanged);
    // Cancels the standing requests, CONS first so that no bank toggle runs afterwards. The
    // transport waits for a callback in progress when a request is deleted, so the listener
    // can go once this returns.
    ~InputListener();

    InputListener(const InputListener&) = delete;
    InputListener& operator=(const InputListener&) = delete;

    // Issues the standing reads: first on the CONS unit, then on the CTRL unit. The frame
    // exchange must exist (its answer slot ready) before the CTRL read can deliver answers.
    // Called once.
    void Start();

    // The transport callback; returns 1 in every case. Public for the backends' tests.
    int OnNotification(const UnitNotification& notification);

    // Returns once every macro-play icon change requested so far has been made.
    void WaitForTrayChanges() { macroPlay_.WaitUntilShown(); }

private:
    void IssueStandingRead(const UnitDescriptor& unit, UnitTag tag, uint32_t& requestId);
    void OnConsumerReport(const UnitEvent& event);
    void OnCountChanged(const UnitEvent& event);
    void ToggleBank();

    HidBridge& bridge_;
    FrameExchange& exchange_;
    GKeyIndicatorState& indicator_;
    MainWindowPort& window_;
    CountSink countChanged_;
    UnitCallback callback_;
    uint32_t consRequestId_ = 0;
    uint32_t ctrlRequestId_ = 0;
    uint32_t ledRequestId_ = 0;
    MacroPlayIndicator macroPlay_;
};

} // namespace tavrik
