#pragma once
// Faults the emulated keyboard shows on the configuration frames it receives, for testing how the
// program copes with a keyboard that misbehaves.

#include <cstdint>

namespace tavrik::emu {

enum class Fault {
    None,        // answer normally
    Silent,      // the frame is lost: not executed, no answer
    WrongEcho,   // not executed; the answer echoes another command
    RefuseFE,    // not executed; answered with status 0xFE
    RefuseFF,    // not executed; answered with status 0xFF
    UnplugAfter, // answer normally, then the keyboard goes away after the Nth frame
};

class FaultPlan {
public:
    struct Decision {
        Fault treatment = Fault::None; // None, Silent, WrongEcho, RefuseFE or RefuseFF
        bool unplugAfterAnswer = false;
    };

    // `frames` is how many of the next frames the fault applies to; a count below 1 (or
    // Fault::None) clears the plan. UnplugAfter with 0 frames is the caller's immediate unplug.
    void Set(Fault fault, int frames);
    // What happens to the next frame received.
    Decision Next();

private:
    Fault fault_ = Fault::None;
    int framesLeft_ = 0;
};

} // namespace tavrik::emu
