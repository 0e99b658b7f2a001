#pragma once
// The second start's end of the hand-over: find the running instance by its socket and send it
// OPEN or KILL, waiting (as a synchronous window message would) until it has handled it.

#include "app/instance_message.h"

#include <QLocalSocket>

#include <filesystem>
#include <memory>

namespace tavrik {

// A connection to the running instance of this user, or nothing when none answers.
std::unique_ptr<QLocalSocket> ConnectToRunningInstance(const std::filesystem::path& socketPath);

// Sends the command and waits for the answer; for KILL also until the running instance has
// gone. False when it did not answer in time.
bool NotifyRunningInstance(QLocalSocket& connection, InstanceCommand command);

} // namespace tavrik
