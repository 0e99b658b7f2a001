#include "profile/storage_paths.h"

#include "files/private_files.h"
#include "profile/native_path.h"

#include <QStandardPaths>

#include <new>

namespace tavrik {

std::filesystem::path DocumentsFolder() {
    return FromQtPath(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
}

std::filesystem::path StoreFileName() {
    return "$Profile" + std::to_string(0);
}

std::filesystem::path PendingMarkName() {
    return StoreFileName().string() + ".pending";
}

StoragePaths StoragePathsIn(const std::filesystem::path& documentsFolder) {
    const std::filesystem::path folder = documentsFolder / kStorageFolderName;
    return StoragePaths{folder, folder / StoreFileName(), folder / PendingMarkName()};
}

bool EnsureStorageFolder(const StoragePaths& paths) {
    try {
        return EnsurePrivateFolder(paths.folder, nullptr);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

} // namespace tavrik
