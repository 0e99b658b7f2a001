#include "app/instance_endpoint.h"

#include <string>

#include <sys/stat.h>

namespace tavrik {

std::filesystem::path InstanceSocketPath(std::string_view runtimeDir,
                                         const std::filesystem::path& tempFolder, uid_t user) {
    const std::filesystem::path runtime(runtimeDir);
    if (!runtimeDir.empty() && runtime.is_absolute()) {
        return runtime / kInstanceSocketName;
    }
    return tempFolder / ("Tavrik-" + std::to_string(user)) / kInstanceSocketName;
}

bool PrepareInstanceFolder(const std::filesystem::path& socketPath, uid_t user) {
    const std::string folder = socketPath.parent_path().string();
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        return false;
    }
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0) {
        return false;
    }
    const bool privateFolder = S_ISDIR(info.st_mode) && info.st_uid == user;
    // $XDG_RUNTIME_DIR is the user's own 0700 folder by definition; a folder of ours under the
    // temporary folder must not let others in.
    const bool othersShutOut = (info.st_mode & (S_IRWXG | S_IRWXO)) == 0;
    return privateFolder && othersShutOut;
}

} // namespace tavrik
