#pragma once
// A skinned window cannot exist without its pictures: the process ends at once with exit code 0
// (nothing for a desktop session to restart), saying on stderr which picture was missing.

#include <filesystem>

namespace tavrik {

[[noreturn]] void EndProcessForMissingPicture(const std::filesystem::path& picture);

} // namespace tavrik
