#include "skin/skin_surface.h"

#include "skin/skin_picture.h"

#include <QPainter>

namespace tavrik {

SkinSurface::SkinSurface(std::filesystem::path file, QImage decoded)
    : m_file(std::move(file))
    , m_whole(std::move(decoded)) {
    m_release.setSingleShot(true);
    m_release.setInterval(kWholePictureIdleMs);
    QObject::connect(&m_release, &QTimer::timeout, &m_release, [this] { m_whole = QImage(); });
    m_release.start();
}

SkinSurface::SkinSurface(QImage picture)
    : m_whole(std::move(picture)) {}

const QImage& SkinSurface::Whole() const {
    if (m_file.empty()) {
        return m_whole;
    }
    if (m_whole.isNull()) {
        m_whole = LoadSkinPicture(m_file);
    }
    m_release.start();
    return m_whole;
}

const QImage& SkinSurface::Cell(const QRect& rect) const {
    const auto key = std::make_tuple(rect.x(), rect.y(), rect.width(), rect.height());
    if (const auto found = m_cells.find(key); found != m_cells.end()) {
        return found->second;
    }
    QImage cell(rect.size(), QImage::Format_RGB32);
    cell.fill(Qt::black);
    // A picture that can no longer be read leaves the cell black.
    if (const QImage& whole = Whole(); !whole.isNull() && !rect.isEmpty()) {
        QPainter painter(&cell);
        painter.drawImage(-rect.topLeft(), whole);
    }
    return m_cells.emplace(key, std::move(cell)).first->second;
}

} // namespace tavrik
