#include "cli/profile_file_check.h"

#include "profile/profile_file.h"
#include "profile/profile_header.h"

namespace tavrik::cli {

std::string ProfileFileProblem(const std::string& path) {
    // The check shows its message only for a malformed header; the command line says it in its
    // own words.
    bool malformedHeader = false;
    std::string problem;
    const ProfileFileCheck check = ValidateProfileFile(
        path, [&](std::u16string_view) { malformedHeader = true; }, &problem);
    if (check == ProfileFileCheck::Acceptable)
        return {};
    if (!problem.empty())
        return problem;
    if (check == ProfileFileCheck::NoMemory)
        return path + ": too large to be read into memory";
    if (malformedHeader)
        return path + " is not a valid profile file: its header is malformed";
    return path + " is not a valid profile file: it is shorter than a profile (" +
           std::to_string(kProfileRecordSize) + " bytes)";
}

} // namespace tavrik::cli
