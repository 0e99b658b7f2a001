#include "emulator/fault_plan.h"

namespace tavrik::emu {

void FaultPlan::Set(Fault fault, int frames) {
    const bool active = fault != Fault::None && frames > 0;
    fault_ = active ? fault : Fault::None;
    framesLeft_ = active ? frames : 0;
}

FaultPlan::Decision FaultPlan::Next() {
    if (fault_ == Fault::None)
        return {};
    Decision decision;
    --framesLeft_;
    if (fault_ == Fault::UnplugAfter)
        decision.unplugAfterAnswer = framesLeft_ == 0;
    else
        decision.treatment = fault_;
    if (framesLeft_ == 0)
        fault_ = Fault::None;
    return decision;
}

} // namespace tavrik::emu
