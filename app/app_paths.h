#pragma once
// AppPaths: every folder and file name the program needs, derived once at start from the
// program file's own location, so the build tree and an installed tree both work.

#include <filesystem>
#include <optional>
#include <string>

namespace tavrik {

struct AppPaths {
    std::string exeFileName;            // the program file's name, no folder
    std::filesystem::path appFolder;    // the program file's folder
    std::filesystem::path helpFolder;   // appFolder/Help
    std::filesystem::path skinFolder;   // appFolder/Skins: the folder of every skin file
    std::filesystem::path mainSkinFile; // Skins/Main.ini
    std::filesystem::path profileSkinFile;
    std::filesystem::path compositeSkinFile;
    std::filesystem::path iconFolder; // appFolder/icons
    std::filesystem::path daemonPath; // the sibling program "VoZurade"
};

AppPaths AppPathsFromExecutable(const std::filesystem::path& executable);

// The running program's own file (symbolic links resolved), nothing when it cannot be read.
std::optional<std::filesystem::path> CurrentExecutable();

} // namespace tavrik
