#include "cli/profile_source.h"

#include "cli/profile_file_check.h"
#include "files/file_read.h"
#include "names/profile_text.h"

namespace tavrik::cli {

namespace {

ProfileSource ReadProfileFileSource(const std::string& path, std::span<const uint8_t> bytes) {
    if (std::string problem = ProfileFileProblem(path); !problem.empty())
        return problem;
    std::unique_ptr<ProfileContents> contents = ParseProfileFile(bytes);
    if (!contents)
        return "cannot read " + path;
    return LoadedProfile{std::move(contents), std::nullopt};
}

} // namespace

ProfileSource ReadProfileSource(const std::string& path) {
    // A text may be larger than any profile file, so the text's limit decides what is read.
    static_assert(kProfileTextKind.largestSize >= kProfileFileKind.largestSize);
    const FileRead read = ReadWholeFile(path, kProfileTextKind);
    if (read.status != FileReadStatus::Read)
        return FileReadProblem(read, path, kProfileTextKind);
    return BeginsWithProfileMagic(read.bytes) ? ReadProfileFileSource(path, read.bytes)
                                              : ParseProfileTextFile(path, read.bytes);
}

} // namespace tavrik::cli
