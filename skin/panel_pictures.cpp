#include "skin/panel_pictures.h"

#include "skin/skin_picture.h"

namespace tavrik {
namespace {

std::string BusyFrameName(int frame) {
    return "jdt" + std::to_string(frame + 1) + ".bmp";
}
std::string SliderName(int position) {
    return std::to_string(position) + ".bmp";
}

} // namespace

PanelPictures::PanelPictures(const std::filesystem::path& skinFolder) {
    const auto load = [&](const std::string& name) {
        m_pictures[name] = QPixmap::fromImage(LoadSkinPicture(skinFolder / name));
    };
    for (std::string_view name : skin::kPanelPictures) {
        load(std::string(name));
    }
    for (int frame = 0; frame < skin::kBusyFrameCount; ++frame) {
        load(BusyFrameName(frame));
    }
    for (int position = 0; position < skin::kSliderPictureCount; ++position) {
        load(SliderName(position));
    }
}

const QPixmap& PanelPictures::Picture(std::string_view name) const {
    const auto found = m_pictures.find(name);
    return found == m_pictures.end() ? m_empty : found->second;
}

const QPixmap& PanelPictures::BusyFrame(int frame) const {
    return Picture(BusyFrameName(frame));
}

const QPixmap& PanelPictures::SliderPosition(int position) const {
    return Picture(SliderName(position));
}

} // namespace tavrik
