#pragma once
// Skin pictures and the process-wide surfaces the image buttons draw from.

#include "skin/skin_names.h"

#include <QImage>
#include <QSize>

#include <filesystem>
#include <string_view>

namespace tavrik {

// Skin pictures bigger than this are not read.
inline constexpr qint64 kMaxSkinPictureBytes = 64 << 20;

// Decodes a picture by its content, whatever its extension; a null image when the file is
// missing, no regular file (a pipe is never waited on), too large or not a picture.
QImage LoadSkinPicture(const std::filesystem::path& file);

// MakeImageSurface: the picture drawn 1:1 from the top-left corner onto a surface at least as
// large as the dialog's face plus 100 pixels each way (black beyond the picture).
QImage MakeImageSurface(const QImage& picture, QSize faceSize);

// The surface of a picture relative to the program's folder, made the first time it is asked
// for and kept for the rest of the process, so every dialog of a kind shares it. Null when the
// picture cannot be loaded. Only the GUI thread calls this.
const QImage* SharedImageSurface(const std::filesystem::path& appFolder, std::string_view picture,
                                 QSize faceSize);

// The five looks of a button, each a shared surface (all non-null when loaded).
struct StateImages {
    const QImage* normal = nullptr;
    const QImage* hover = nullptr;
    const QImage* pressed = nullptr;
    const QImage* disabled = nullptr;
    const QImage* lit = nullptr;
};

// The surfaces of a picture set; `missing` names the first picture that cannot be loaded.
struct LoadedStateImages {
    StateImages images;
    std::string_view missing;
};
LoadedStateImages LoadStateImages(const std::filesystem::path& appFolder,
                                  const skin::StatePictures& pictures, QSize faceSize);

} // namespace tavrik
