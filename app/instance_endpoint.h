#pragma once
// Where the per-user single-instance socket "Tavrik_Mutex" lives.
//
// In $XDG_RUNTIME_DIR when that is the user's own private folder (per user and login). Otherwise
// in a folder of the user's under the temporary folder, and there anyone may create a name first:
// another user can make "/tmp/Tavrik-1000" beforehand, open to all, or a link of that name. So a
// start walks a fixed list of names, "Tavrik-UID", "Tavrik-UID-1", ... "Tavrik-UID-15", judges
// each on the folder it opened (no link followed, owner and mode read from that very folder), and
// takes the first that is, or can be made, private to the user. Every start walks the same list,
// so a later start finds the running instance again without being told where it is.
//
// Why not something else:
// - a folder of a random name (mkdtemp) cannot be found again by the next start;
// - an abstract socket name has no owner at all: anyone can bind it first and keep it, so it needs
//   the same walk of names, and it lives in the network namespace rather than with the user;
// - the home folder may be shared by several machines over NFS, where a socket of another machine
//   looks stale and would be taken over, and its path may pass the 107 bytes a socket path allows.
//
// A name taken by another user may be given back later. A start therefore looks for a running
// instance in every private folder of the list, not only in the first, before it listens in the
// first one: an instance that had to move to "Tavrik-UID-1" stays the one every start reaches,
// also for "/Kill".

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include <sys/types.h>

namespace tavrik {

inline constexpr std::string_view kInstanceSocketName = "Tavrik_Mutex";

// How many names under the temporary folder a start tries. Other users' leftovers need one or
// two; one who takes them all on purpose is refused loudly (see RunInstanceCheck), so more
// names would only lengthen every start's walk.
inline constexpr int kInstanceFolderNames = 16;

enum class FolderState { Private, Missing, Refused };

// Whether `folder` may hold the socket of `user`: a real folder (not a link) owned by the user,
// which the user may enter and write to and nobody else may write to. Judged on the opened folder,
// so it cannot be swapped between the check and the use. Nothing is created. When refused,
// `problem` (if given) says why, as a sentence about the folder ("/tmp/Tavrik-1000 belongs to
// user 1001").
FolderState ExamineInstanceFolder(const std::filesystem::path& folder, uid_t user,
                                  std::string* problem = nullptr);

// Creates `folder` with mode 0700 when it is missing, then examines it as above.
bool PrepareInstanceFolder(const std::filesystem::path& folder, uid_t user,
                           std::string* problem = nullptr);

// The outcome of the walk.
struct InstanceFolders {
    // Private folders that may hold a running instance's socket, in the order of the walk; the
    // first is `own`.
    std::vector<std::filesystem::path> searched;
    // Where this start listens when no instance answers: the first private folder. Empty when no
    // name could be had.
    std::filesystem::path own;
    // Why each folder passed over before `own` (all of them when `own` is empty) was refused.
    std::vector<std::string> refused;
};

// `runtimeDir` is $XDG_RUNTIME_DIR (unset when empty or relative); `tempFolder` is the temporary
// folder (/tmp when it is not an absolute path). Creates the chosen folder under the temporary
// folder when it is missing; never creates, changes or removes anything else.
InstanceFolders ChooseInstanceFolders(std::string_view runtimeDir,
                                      const std::filesystem::path& tempFolder, uid_t user);

inline std::filesystem::path InstanceSocketIn(const std::filesystem::path& folder) {
    return folder / kInstanceSocketName;
}

} // namespace tavrik
