#pragma once
// The user at the other end of a local socket, so that only the owning user's processes take
// part in the hand-over.

#include <optional>

#include <sys/types.h>

namespace tavrik {

std::optional<uid_t> PeerUser(long long socketDescriptor);

inline bool IsPeerSameUser(long long socketDescriptor, uid_t user) {
    const std::optional<uid_t> peer = PeerUser(socketDescriptor);
    return peer && *peer == user;
}

} // namespace tavrik
