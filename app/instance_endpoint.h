#pragma once
// Where the per-user single-instance socket "Tavrik_Mutex" lives: in $XDG_RUNTIME_DIR (private
// to the user and the login), else in a folder named for the user under the temporary folder,
// which is checked before use because anyone may create names there.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include <sys/types.h>

namespace tavrik {

inline constexpr std::string_view kInstanceSocketName = "Tavrik_Mutex";

// The socket's path; `runtimeDir` is $XDG_RUNTIME_DIR (ignored when empty or relative).
std::filesystem::path InstanceSocketPath(std::string_view runtimeDir,
                                         const std::filesystem::path& tempFolder, uid_t user);

// Makes sure the socket's folder exists and only `user` can use it: a real folder (no link) owned
// by the user, with mode 0700. Anyone may create the folder's name under the temporary folder
// first, so a folder that fails the check is not used: false, and in `problem` (if given) why,
// as a sentence about the folder ("/tmp/Tavrik-1000 belongs to user 1001").
bool PrepareInstanceFolder(const std::filesystem::path& socketPath, uid_t user,
                           std::string* problem = nullptr);

} // namespace tavrik
