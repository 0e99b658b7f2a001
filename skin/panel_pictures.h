#pragma once
// The lighting panel's pictures in the main skin's folder: switch, direction, choice and tool
// pictures, the busy indicator's frames and the slider's positions. Each is decoded the first
// time it is asked for (a slider shows one of its 26 positions at a time). A picture that is
// missing or cannot be decoded stays empty; nothing is reported.

#include "skin/skin_names.h"

#include <QPixmap>

#include <filesystem>
#include <map>
#include <string>
#include <string_view>

namespace tavrik {

class PanelPictures {
public:
    explicit PanelPictures(std::filesystem::path skinFolder);

    // One of skin::kPanelPictures by name ("dengup.bmp", ...).
    const QPixmap& Picture(std::string_view name) const;
    // "jdt1.bmp" for frame 0 ... "jdt10.bmp" for frame 9.
    const QPixmap& BusyFrame(int frame) const;
    // "0.bmp" ... "25.bmp".
    const QPixmap& SliderPosition(int position) const;

private:
    std::filesystem::path m_skinFolder;
    mutable std::map<std::string, QPixmap, std::less<>> m_pictures;
};

} // namespace tavrik
