#pragma once
// SkinSurface: a state picture as the image buttons draw it. Each state picture shows the whole
// dialog with every control in one state, yet a button shows only the cell lying under it. The
// main window's four state pictures alone decode to more than ten megabytes, so only the cells
// that buttons ask for are kept: the whole picture is decoded while cells are being cut and let
// go once the event loop is back. A cell asked for later is cut from a fresh decode.

#include <QImage>
#include <QObject>
#include <QRect>

#include <filesystem>
#include <map>
#include <tuple>

namespace tavrik {

class SkinSurface {
public:
    // The surface of the picture in `file`, of which `decoded` is the decoded content.
    SkinSurface(std::filesystem::path file, QImage decoded);
    // A surface kept whole, of a picture made in memory.
    explicit SkinSurface(QImage picture);

    SkinSurface(const SkinSurface&) = delete;
    SkinSurface& operator=(const SkinSurface&) = delete;

    // The picture's pixels at `rect`, drawn 1:1 from its top-left corner, black beyond it.
    const QImage& Cell(const QRect& rect) const;
    // Whether the decoded picture is held at the moment (rather than only its cells).
    bool HoldsWholePicture() const { return !m_whole.isNull(); }

private:
    const QImage& Whole() const;
    void ReleaseWholeSoon() const;

    std::filesystem::path m_file; // empty when the surface is kept whole
    mutable QImage m_whole;
    mutable std::map<std::tuple<int, int, int, int>, QImage> m_cells;
    mutable bool m_releasePending = false;
    // Ends the pending release with the surface.
    QObject m_releaseContext;
};

} // namespace tavrik
