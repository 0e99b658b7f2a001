#include "skin/dialog_face.h"

#include "keys/text.h"
#include "skin/skin_names.h"
#include "skin/skin_picture.h"
#include "skin/window_shape.h"

#include <algorithm>
#include <vector>

namespace tavrik {
namespace {

// A picture name as written in the skin file, with Windows separators accepted.
std::filesystem::path PicturePath(const std::filesystem::path& folder, const std::u16string& name) {
    std::string relative = Utf8From(name);
    std::replace(relative.begin(), relative.end(), '\\', '/');
    return folder / relative;
}

} // namespace

std::optional<DialogFace> LoadDialogFace(const CIniFile& skin, const std::filesystem::path& folder,
                                         std::filesystem::path& failedPicture) {
    const std::u16string mainName =
        skin.GetString(skin::kScreen, skin::kBackgroundKey).value_or(u"");
    const std::u16string maskName =
        skin.GetString(skin::kScreen, skin::kMaskKey, mainName).value_or(u"");
    DialogFace face;
    // An empty name names no file: the folder itself cannot be decoded and fails like a
    // missing picture.
    face.backgroundFile = PicturePath(folder, mainName);
    face.background = LoadSkinPicture(face.backgroundFile);
    if (face.background.isNull()) {
        failedPicture = face.backgroundFile;
        return std::nullopt;
    }
    const std::filesystem::path maskFile = PicturePath(folder, maskName);
    face.mask = LoadSkinPicture(maskFile);
    if (face.mask.isNull()) {
        failedPicture = maskFile;
        return std::nullopt;
    }
    return face;
}

QRegion ShapeFromMask(const QImage& mask) {
    const QImage pixels = mask.convertToFormat(QImage::Format_RGB32);
    const auto* words = reinterpret_cast<const uint32_t*>(pixels.constBits());
    const std::vector<ShapeRun> runs =
        ShapeRunsFromPixels(words, pixels.width(), pixels.height(),
                            static_cast<size_t>(pixels.bytesPerLine()) / sizeof(uint32_t));
    std::vector<QRect> rects;
    rects.reserve(runs.size());
    for (const ShapeRun& run : runs) {
        rects.emplace_back(run.left, run.y, run.width, 1);
    }
    QRegion region;
    // The runs are already sorted top to bottom and left to right and never overlap.
    region.setRects(rects.data(), static_cast<int>(rects.size()));
    return region;
}

} // namespace tavrik
