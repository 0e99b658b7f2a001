#pragma once
// The Documents folder a session keeps its files in: the store file that mirrors the keyboard and
// the settings file. A real keyboard uses the user's own Documents folder. The demo keyboard is a
// fresh factory keyboard in every run, and mirroring it must never overwrite what the user's own
// keyboard left there, so a demo session gets a private folder under the temporary folder,
// removed again when the session ends.

#include <filesystem>

namespace tavrik {

class SessionDocuments {
public:
    // The user's Documents folder, or a new private temporary one for a demo session. A demo
    // folder that cannot be created gives an empty path: the store then cannot be written and
    // nothing of the user's is touched.
    explicit SessionDocuments(bool demo);
    ~SessionDocuments();

    SessionDocuments(const SessionDocuments&) = delete;
    SessionDocuments& operator=(const SessionDocuments&) = delete;

    const std::filesystem::path& Folder() const { return folder_; }
    bool IsTemporary() const { return temporary_; }

private:
    std::filesystem::path folder_;
    bool temporary_ = false;
};

} // namespace tavrik
