#pragma once
// The state that exists once per process from the main window's initialisation to the end of
// its run: the named events. Created by the start routine before the main window and destroyed
// after it. (The profile locks live with the live profile, the keyboard count with the presence
// monitor.)

#include "app/named_events.h"

#include <memory>

namespace tavrik {

struct ProcessState {
    // Created by the main window's initialisation, closed by its exit sequence.
    std::unique_ptr<NamedEventSet> namedEvents;
};

} // namespace tavrik
