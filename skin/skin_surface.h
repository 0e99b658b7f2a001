#pragma once
// SkinSurface: a skin picture that is decoded only while it is in use. A dialog's face and its
// state pictures each decode to megabytes, yet the window system keeps what was drawn, and an
// image button shows only the cell of a state picture lying under it (each state picture shows
// the whole dialog with every control in one state). So the cells buttons have drawn are kept,
// and the whole picture is let go a moment after its last use, to be decoded again when it is
// next needed.

#include <QImage>
#include <QRect>
#include <QTimer>

#include <filesystem>
#include <map>
#include <tuple>

namespace tavrik {

// How long a decoded picture outlives its last use.
inline constexpr int kWholePictureIdleMs = 1000;

class SkinSurface {
public:
    // The surface of the picture in `file`, of which `decoded` is the decoded content.
    SkinSurface(std::filesystem::path file, QImage decoded);
    // A surface kept whole, of a picture made in memory.
    explicit SkinSurface(QImage picture);

    SkinSurface(const SkinSurface&) = delete;
    SkinSurface& operator=(const SkinSurface&) = delete;

    // The whole picture; null when it can no longer be read.
    const QImage& Whole() const;
    // The picture's pixels at `rect`, drawn 1:1 from its top-left corner, black beyond it.
    const QImage& Cell(const QRect& rect) const;
    // Whether the decoded picture is held at the moment (rather than only its cells).
    bool HoldsWholePicture() const { return !m_whole.isNull(); }

private:
    std::filesystem::path m_file; // empty when the surface is kept whole
    mutable QImage m_whole;
    mutable std::map<std::tuple<int, int, int, int>, QImage> m_cells;
    mutable QTimer m_release;
};

} // namespace tavrik
