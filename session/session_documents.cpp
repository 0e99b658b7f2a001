#include "session/session_documents.h"

#include "profile/storage_paths.h"

#include <cstdlib>
#include <string>
#include <system_error>

namespace tavrik {
namespace {

std::filesystem::path MakePrivateTemporaryFolder() {
    std::error_code error;
    const std::filesystem::path base = std::filesystem::temp_directory_path(error);
    if (error)
        return {};
    // mkdtemp creates the folder with mode 0700: no other user can read the demo's files.
    std::string pattern = (base / "tavrik-demo-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        return {};
    return pattern;
}

} // namespace

SessionDocuments::SessionDocuments(bool demo)
    : folder_(demo ? MakePrivateTemporaryFolder() : DocumentsFolder())
    , temporary_(demo && !folder_.empty()) {}

SessionDocuments::~SessionDocuments() {
    if (temporary_) {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
}

} // namespace tavrik
