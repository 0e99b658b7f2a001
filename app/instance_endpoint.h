#pragma once
// Where the per-user single-instance socket "Tavrik_Mutex" lives: in $XDG_RUNTIME_DIR (private
// to the user and the login), else in a private folder of the user's own under the temporary
// folder, which is checked before use because anyone may create names there.

#include <filesystem>
#include <optional>
#include <string_view>

#include <sys/types.h>

namespace tavrik {

inline constexpr std::string_view kInstanceSocketName = "Tavrik_Mutex";

// The socket's path; `runtimeDir` is $XDG_RUNTIME_DIR (ignored when empty or relative).
std::filesystem::path InstanceSocketPath(std::string_view runtimeDir,
                                         const std::filesystem::path& tempFolder, uid_t user);

// Makes sure the socket's folder exists and only `user` can use it: an existing folder must
// be a real folder (no link) owned by the user with no access for others. False otherwise.
bool PrepareInstanceFolder(const std::filesystem::path& socketPath, uid_t user);

} // namespace tavrik
