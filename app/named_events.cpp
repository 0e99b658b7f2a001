#include "app/named_events.h"

#include <cstdio>

#include <fcntl.h>

namespace tavrik {

std::string NamedEventName(std::string_view prefix, int number) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "Main_%02d", number);
    return std::string(prefix) + digits;
}

NamedEventSet::NamedEventSet(std::string_view prefix) {
    m_events.reserve(kNamedEventCount);
    for (int number = 1; number <= kNamedEventCount; ++number) {
        std::string name = NamedEventName(prefix, number);
        sem_t* handle = ::sem_open(name.c_str(), O_CREAT, 0600, 0);
        if (handle != SEM_FAILED) {
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
