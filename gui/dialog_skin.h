#pragma once
// Where a skinned dialog finds its skin: its skin file, the folder of that file (where the
// background and mask pictures it names start) and the program's folder (where the names of the
// button pictures start).

#include <filesystem>

namespace tavrik {

struct DialogSkinPaths {
    std::filesystem::path skinFile;
    std::filesystem::path skinFolder;
    std::filesystem::path appFolder;
};

} // namespace tavrik
