#pragma once
// What the keyboard's events and the presence monitor need from the main window. The GUI
// implements it on the window (calls from other threads become queued or blocking-queued
// invocations on the GUI thread); the command-line tool and the tests implement it without a
// window.
//
// Every member is called from a background thread: the transport's callback thread, the
// presence worker or the tray worker. None is ever called on the thread that serves the
// synchronous members, so an implementation may block on that thread for them.
//
// Shutting down: the owner of the device link stops it (DeviceLink's destructor) on the window's
// thread, and stopping waits for a presence handler or a callback in progress. So once the
// window has begun closing, the synchronous members (ReloadFromKeyboard, RefreshGKeyMarks,
// ShowMessage) must return at once without doing anything.

#include <string_view>

namespace tavrik {

// Icon resources shown in the notification area.
inline constexpr int kIconNoKeyboard = 128;
inline constexpr int kIconKeyboardAttached = 141;
inline constexpr int kIconMacroPlaying = 142;

// Modes of SetTrayState.
inline constexpr int kTrayDevice = 0;       // show iconId, or the remembered device icon for 0
inline constexpr int kTrayMacroPlaying = 1; // show kIconMacroPlaying

class MainWindowPort {
public:
    virtual ~MainWindowPort() = default;

    // Synchronous. A keyboard was attached (or the attached count changed): reload the live
    // profile from the keyboard, mark the active profile's button and re-read the lighting
    // state with the per-key table and the report rate. Returns once all of that is done.
    // Called by the presence worker.
    virtual void ReloadFromKeyboard() = 0;

    // The last keyboard went away: hide the window. May return before the window is hidden,
    // but must take effect before any later call from the same thread. Presence worker.
    virtual void Hide() = 0;

    // True once the window has finished its initialisation and its notification-area icon
    // exists. Any thread; never blocks.
    virtual bool IsReady() const = 0;

    // Mode kTrayDevice with a non-zero icon: show that icon and remember it as the device icon;
    // kTrayDevice with 0: show the remembered device icon again; kTrayMacroPlaying: show
    // kIconMacroPlaying. May be asynchronous; calls from one thread take effect in call order.
    // Presence worker and tray worker.
    virtual void SetTrayState(int mode, int iconId) = 0;

    // The count was told again unchanged: a keyboard that this user may not open may have come
    // or gone, so the window looks again whether one is there. May be asynchronous. Presence
    // worker.
    virtual void RecheckKeyboardAccess() {}

    // Synchronous. The G-key bank changed: re-mark the nine G-key buttons from the active
    // layer's slots of the new bank. Returns once done. Transport callback thread; the window
    // must therefore never wait for the transport while it handles this call.
    virtual void RefreshGKeyMarks() = 0;

    // The bank indicator's pictures and the G-key captions ("A1".."A5" or "B1".."B5", G6-G9
    // empty) for the new bank. May be asynchronous. Transport callback thread.
    virtual void SetBankLook(bool bankB) = 0;

    // The keyboard changed its lighting itself: re-read the lighting state without the per-key
    // table and refresh the lighting panel, later, on the window's own thread. Must not wait
    // for that work. Transport callback thread.
    virtual void RequestLightingReread() = 0;

    // A message box with one OK button; may block until the user dismisses it. Presence
    // worker.
    virtual void ShowMessage(std::u16string_view text) = 0;
};

} // namespace tavrik
