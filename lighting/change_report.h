#pragma once
// When the user is told that a lighting change failed: once for each change, when it is over.
// A click is a change of its own. A slider held down is one change from its press to its release,
// however many of its positions went out meanwhile (one write at a time, the newest position
// waiting behind it); the keyboard keeps the last position written, so the change failed when
// that last write failed, and a failure that a later write made good is not told. A slider moved
// without being held (its keys, the wheel) makes a change of each step.
//
// One per slider, on the window's thread.

namespace tavrik {

class LightingChangeReport {
public:
    void Press() { held_ = true; }
    // `writing`: a write of the slider's is still on its way. True when the change is over and
    // failed: tell the user now.
    bool Release(bool writing);
    // A write of the slider's has finished, taken by the keyboard or not (`failed`); `writing`:
    // a newer position has gone out since. True when the change is over and failed: tell the
    // user now.
    bool Written(bool failed, bool writing);

private:
    bool Over(bool writing);

    bool held_ = false;
    bool failed_ = false; // the last write finished failed, and nobody was told yet
};

} // namespace tavrik
