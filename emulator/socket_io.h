#pragma once
// Blocking UNIX stream socket helpers shared by the emulator's server and its clients.

#include "emulator/wire_protocol.h"

#include <optional>
#include <span>
#include <string>

namespace tavrik::emu {

// A connected socket, or -1 and the reason.
int ConnectUnixSocket(const std::string& path, std::string* error);
// False when the path does not fit a UNIX socket address.
bool FitsSocketAddress(const std::string& path);
// Sends every byte (no SIGPIPE); false when the peer is gone or the send timed out.
bool SendAll(int fd, std::span<const uint8_t> bytes);
// Reads until `reader` holds a whole message; nothing at end of stream, on error or on a broken
// stream.
std::optional<wire::Message> ReceiveMessage(int fd, wire::MessageReader& reader);

} // namespace tavrik::emu
