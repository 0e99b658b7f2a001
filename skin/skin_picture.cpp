#include "skin/skin_picture.h"

#include "files/file_read.h"

#include <map>
#include <memory>
#include <string>

namespace tavrik {

QImage LoadSkinPicture(const std::filesystem::path& file) {
    constexpr FileKind kSkinPicture{"a skin picture", kMaxSkinPictureBytes};
    const FileRead read = ReadWholeFile(file, kSkinPicture);
    if (read.status != FileReadStatus::Read) {
        return {};
    }
    return QImage::fromData(read.bytes.data(), static_cast<int>(read.bytes.size()));
}

const SkinSurface* SharedSkinSurface(const std::filesystem::path& appFolder,
                                     std::string_view picture) {
    static std::map<std::string, std::unique_ptr<SkinSurface>> surfaces;
    const std::string file = (appFolder / picture).lexically_normal().string();
    if (const auto found = surfaces.find(file); found != surfaces.end()) {
        return found->second.get();
    }
    QImage loaded = LoadSkinPicture(file);
    if (loaded.isNull()) {
        return nullptr;
    }
    auto surface = std::make_unique<SkinSurface>(file, std::move(loaded));
    return surfaces.emplace(file, std::move(surface)).first->second.get();
}

LoadedStateImages LoadStateImages(const std::filesystem::path& appFolder,
                                  const skin::StatePictures& pictures) {
    LoadedStateImages result;
    const std::pair<const SkinSurface**, std::string_view> targets[] = {
        {&result.images.normal, pictures.normal},
        {&result.images.hover, pictures.hover},
        {&result.images.pressed, pictures.pressed},
        {&result.images.disabled, pictures.disabled},
        {&result.images.lit, pictures.lit}};
    for (const auto& [slot, name] : targets) {
        *slot = SharedSkinSurface(appFolder, name);
        if (*slot == nullptr) {
            result.missing = name;
            return result;
        }
    }
    return result;
}

} // namespace tavrik
