#pragma once
// Skin pictures and the process-wide surfaces the image buttons draw from.

#include "skin/skin_names.h"
#include "skin/skin_surface.h"

#include <QImage>

#include <filesystem>
#include <string_view>

namespace tavrik {

// Skin pictures bigger than this are not read.
inline constexpr qint64 kMaxSkinPictureBytes = 64 << 20;

// Decodes a picture by its content, whatever its extension; a null image when the file is
// missing, no regular file (a pipe is never waited on), too large or not a picture.
QImage LoadSkinPicture(const std::filesystem::path& file);

// The surface of a picture relative to the program's folder, made the first time it is asked
// for and kept for the rest of the process, so every dialog of a kind shares it. Null when the
// picture cannot be loaded. Only the GUI thread calls this.
const SkinSurface* SharedSkinSurface(const std::filesystem::path& appFolder,
                                     std::string_view picture);

// The five looks of a button, each a shared surface (all non-null when loaded).
struct StateImages {
    const SkinSurface* normal = nullptr;
    const SkinSurface* hover = nullptr;
    const SkinSurface* pressed = nullptr;
    const SkinSurface* disabled = nullptr;
    const SkinSurface* lit = nullptr;
};

// The surfaces of a picture set; `missing` names the first picture that cannot be loaded.
struct LoadedStateImages {
    StateImages images;
    std::string_view missing;
};
LoadedStateImages LoadStateImages(const std::filesystem::path& appFolder,
                                  const skin::StatePictures& pictures);

} // namespace tavrik
