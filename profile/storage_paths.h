#pragma once
// Where the program keeps its files: the storage folder "VOLTRI VX60 Driver" in the user's
// Documents folder, and in it the store file "$Profile0" that mirrors every layer of the
// keyboard (one file for all hardware profiles, without extension).

#include <filesystem>

namespace tavrik {

inline constexpr char kStorageFolderName[] = "VOLTRI VX60 Driver";

// The user's Documents folder (XDG_DOCUMENTS_DIR, usually ~/Documents).
std::filesystem::path DocumentsFolder();

struct StoragePaths {
    std::filesystem::path folder;
    std::filesystem::path storeFile;
    // Present while a download of the store file's profile has not been seen to complete.
    std::filesystem::path pendingMark;
};

StoragePaths StoragePathsIn(const std::filesystem::path& documentsFolder);

// Creates the folder and any missing parents; true when it exists afterwards. The store file
// mirrors macros that may hold what the user typed, so a folder made here is 0700; one that
// exists already keeps its mode (files/private_files.h).
bool EnsureStorageFolder(const StoragePaths& paths);

// The name of the store file: "$Profile%d" with the number 0.
std::filesystem::path StoreFileName();
// Beside the store file: "$Profile0.pending".
std::filesystem::path PendingMarkName();

} // namespace tavrik
