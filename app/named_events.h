#pragma once
// NamedEventSet: the 208 named events the program holds for other programs of the keyboard's
// software, as POSIX named semaphores "/Tavrik_Event_Main_01" ... "/Tavrik_Event_Main_208",
// created not signalled at start and closed and unlinked in the exit sequence. Nothing in this
// program waits on or signals them.
//
// The names are the ones those programs know, so they carry no user id; every user's semaphores
// share one namespace (/dev/shm). The set therefore holds only semaphores it created itself
// (O_EXCL): one left by an earlier run of the same user (a crash skips the unlink) is replaced, so
// it starts not signalled; one that belongs to another user is neither held nor unlinked.

#include <semaphore.h>

#include <string>
#include <string_view>
#include <vector>

namespace tavrik {

inline constexpr int kNamedEventCount = 208;
inline constexpr std::string_view kNamedEventPrefix = "/Tavrik_Event_";

// The name of event `number` (1..208): prefix + "Main_" + the number in at least two digits.
std::string NamedEventName(std::string_view prefix, int number);

class NamedEventSet {
public:
    // Creates the events; one that cannot be created (for example held by another user) is
    // skipped.
    explicit NamedEventSet(std::string_view prefix = kNamedEventPrefix);
    ~NamedEventSet();
    NamedEventSet(const NamedEventSet&) = delete;
    NamedEventSet& operator=(const NamedEventSet&) = delete;

    // Closes and unlinks every event created; later calls do nothing.
    void Close();
    int OpenCount() const;

private:
    struct Event {
        std::string name;
        sem_t* handle;
    };
    std::vector<Event> m_events;
};

} // namespace tavrik
