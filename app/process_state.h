#pragma once
// The state that exists once per process from start to the end of the main window's run: the
// profile lock and the snapshot lock (always taken in that order), the named events, and the
// number of keyboards attached. Created by the start routine before the main window and
// destroyed after it.

#include "app/named_events.h"

#include <atomic>
#include <memory>
#include <mutex>

namespace tavrik {

// How many keyboards are attached. The device presence monitor sets it from its own thread;
// the main window reads it to decide whether it may be shown.
class KeyboardPresence {
public:
    int Count() const { return m_count.load(); }
    void SetCount(int count) { m_count.store(count < 0 ? 0 : count); }

private:
    std::atomic<int> m_count{0};
};

struct ProcessState {
    std::recursive_mutex profileLock;
    std::recursive_mutex snapshotLock;
    KeyboardPresence keyboards;
    // Created by the main window's initialisation, closed by its exit sequence.
    std::unique_ptr<NamedEventSet> namedEvents;
};

} // namespace tavrik
