#pragma once
// The face and outline of a skinned dialog, read from its skin file: "Main" in section "SCREEN"
// names the background picture, "Mask" the picture whose non-white pixels form the outline
// (the background itself when "Mask" is missing). Both names are relative to the skin's folder.

#include "skin/ini_file.h"

#include <QImage>
#include <QRegion>

#include <filesystem>
#include <optional>

namespace tavrik {

struct DialogFace {
    std::filesystem::path backgroundFile;
    QImage background;
    QImage mask;
};

// The face, or the file that could not be loaded in `failedPicture`.
std::optional<DialogFace> LoadDialogFace(const CIniFile& skin, const std::filesystem::path& folder,
                                         std::filesystem::path& failedPicture);

// The union of the mask's runs of non-white pixels, row by row.
QRegion ShapeFromMask(const QImage& mask);

} // namespace tavrik
