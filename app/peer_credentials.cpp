#include "app/peer_credentials.h"

#include <sys/socket.h>

namespace tavrik {

std::optional<uid_t> PeerUser(long long socketDescriptor) {
    if (socketDescriptor < 0) {
        return std::nullopt;
    }
    struct ucred credentials {};
    socklen_t length = sizeof credentials;
    if (::getsockopt(static_cast<int>(socketDescriptor), SOL_SOCKET, SO_PEERCRED, &credentials,
                     &length) != 0) {
        return std::nullopt;
    }
    return credentials.uid;
}

} // namespace tavrik
