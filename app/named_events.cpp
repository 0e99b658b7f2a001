#include "app/named_events.h"

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrik {

std::string NamedEventName(std::string_view prefix, int number) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "Main_%02d", number);
    return std::string(prefix) + digits;
}

namespace {

// Whether the semaphore of that name belongs to this process's user. glibc keeps a named
// semaphore "/NAME" as the file "sem.NAME" in /dev/shm (sem_overview(7)).
bool OwnSemaphore(const std::string& name) {
    struct stat info {};
    const std::string file = "/dev/shm/sem." + name.substr(1);
    return ::lstat(file.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::geteuid();
}

// A new semaphore of ours, not signalled. /dev/shm is sticky, so nobody else can remove or
// replace one of ours between the look at its owner and the unlink.
sem_t* CreateSemaphore(const std::string& name) {
    sem_t* handle = ::sem_open(name.c_str(), O_CREAT | O_EXCL, 0600, 0);
    if (handle == SEM_FAILED && errno == EEXIST && OwnSemaphore(name)) {
        ::sem_unlink(name.c_str());
        handle = ::sem_open(name.c_str(), O_CREAT | O_EXCL, 0600, 0);
    }
    return handle;
}

} // namespace

NamedEventSet::NamedEventSet(std::string_view prefix) {
    m_events.reserve(kNamedEventCount);
    for (int number = 1; number <= kNamedEventCount; ++number) {
        std::string name = NamedEventName(prefix, number);
        if (sem_t* handle = CreateSemaphore(name); handle != SEM_FAILED) {
            m_events.push_back({std::move(name), handle});
        }
    }
}

NamedEventSet::~NamedEventSet() {
    Close();
}

void NamedEventSet::Close() {
    for (const Event& event : m_events) {
        ::sem_close(event.handle);
        ::sem_unlink(event.name.c_str());
    }
    m_events.clear();
}

int NamedEventSet::OpenCount() const {
    return static_cast<int>(m_events.size());
}

} // namespace tavrik
