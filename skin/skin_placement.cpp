#include "skin/skin_placement.h"

#include "skin/skin_rect.h"

namespace tavrik {
namespace {

QRect ToQRect(const SkinRect& rect) {
    return {rect.x, rect.y, std::max(0, rect.width), std::max(0, rect.height)};
}

} // namespace

void PlaceImageButton(CPngButton& button, const CIniFile& skin, std::u16string_view section,
                      std::u16string_view key, const StateImages& images) {
    const SkinRect rect = ReadSkinRect(skin, section, key);
    button.setGeometry(ToQRect(rect));
    button.SetImages(QPoint(rect.x, rect.y), images, true);
    if (IsUnplacedRect(rect)) {
        button.setEnabled(false);
    }
}

void PlaceControl(QWidget& control, const CIniFile& skin, std::u16string_view section,
                  std::u16string_view key) {
    control.setGeometry(ToQRect(ReadSkinRect(skin, section, key)));
}

void PlaceControlAt(QWidget& control, const CIniFile& skin, std::u16string_view section,
                    std::u16string_view key) {
    const SkinRect rect = ReadSkinRect(skin, section, key);
    control.move(rect.x, rect.y);
    control.update();
}

void PlaceImageButtonFrom(CPngButton& button, const CIniFile& skin, std::u16string_view section,
                          std::u16string_view key, std::u16string_view section2,
                          std::u16string_view key2, const SkinSurface* image) {
    button.setGeometry(ToQRect(ReadSkinRect(skin, section, key)));
    const SkinRect source = ReadSkinRect(skin, section2, key2);
    button.SetImages(QPoint(source.x, source.y), {image, image, image, image, image}, true);
}

} // namespace tavrik
