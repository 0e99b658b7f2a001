#pragma once
// Where the programs that use one keyboard meet to take turns on it. Any number of programs, of
// any user, may have the keyboard open at once: the desktop program in the tray, scripts calling
// tavrikctl, two commands run at the same moment. Only one of them may talk to it at a time, and
// the others must learn when it wrote.

#include <filesystem>

namespace tavrik {

struct TurnPlace {
    // The file on which the program whose turn it is holds an exclusive flock: a real keyboard's
    // own hidraw node (whoever may open the keyboard may lock it, and nobody else), a file beside
    // the socket of an emulated one.
    std::filesystem::path lockFile;
    // Counts the turns in which a program wrote to the keyboard; may be the lock file itself.
    // Empty when there is none: every turn then assumes that others wrote.
    std::filesystem::path generationFile;
    // The lock file is created when missing (never a device node).
    bool createLockFile = false;

    bool operator==(const TurnPlace&) const = default;
};

// A real keyboard whose configuration unit is the hidraw node `node`. The node cannot hold the
// count of writes, so that lives in the system's shared lock folder (/run/lock), named after the
// node's device number, where the programs of every user who may open the keyboard find it.
TurnPlace HidrawTurnPlace(const std::filesystem::path& node);

// A keyboard served on the UNIX socket `socket`: "SOCKET.lock" beside it, holding the count.
TurnPlace SocketTurnPlace(const std::filesystem::path& socket);

} // namespace tavrik
