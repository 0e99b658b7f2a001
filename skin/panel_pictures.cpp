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

PanelPictures::PanelPictures(std::filesystem::path skinFolder)
    : m_skinFolder(std::move(skinFolder)) {}

const QPixmap& PanelPictures::Picture(std::string_view name) const {
    if (const auto found = m_pictures.find(name); found != m_pictures.end()) {
        return found->second;
    }
    const QPixmap picture = QPixmap::fromImage(LoadSkinPicture(m_skinFolder / name));
    return m_pictures.emplace(std::string(name), picture).first->second;
}

const QPixmap& PanelPictures::BusyFrame(int frame) const {
    return Picture(BusyFrameName(frame));
}

const QPixmap& PanelPictures::SliderPosition(int position) const {
    return Picture(SliderName(position));
}

} // namespace tavrik
