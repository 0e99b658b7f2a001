#include "app/app_paths.h"

#include "skin/skin_names.h"

#include <system_error>

namespace tavrik {

AppPaths AppPathsFromExecutable(const std::filesystem::path& executable) {
    AppPaths paths;
    paths.exeFileName = executable.filename().string();
    paths.appFolder = executable.parent_path();
    paths.helpFolder = paths.appFolder / "Help";
    paths.skinFolder = paths.appFolder / skin::kFolder;
    paths.mainSkinFile = paths.appFolder / skin::kMainFile;
    paths.profileSkinFile = paths.appFolder / skin::kProfileFile;
    paths.compositeSkinFile = paths.appFolder / skin::kCompositeFile;
    paths.iconFolder = paths.appFolder / "icons";
    paths.daemonPath = paths.appFolder / "VoZurade";
    return paths;
}

std::optional<std::filesystem::path> CurrentExecutable() {
    std::error_code error;
    std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || path.empty()) {
        return std::nullopt;
    }
    return path;
}

} // namespace tavrik
