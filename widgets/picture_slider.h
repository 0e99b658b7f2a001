#pragma once
// A slider drawn wholly by pictures, one per position: the picture of the current position is
// the control (rail, fill and knob). A click or a drag puts the knob at the nearest position;
// the arrow keys, Page Up and Page Down, Home and End move it as on any slider.

#include <QAbstractSlider>
#include <QPixmap>

#include <functional>

namespace tavrik {

class PictureSlider : public QAbstractSlider {
    Q_OBJECT
public:
    // The range runs from 0 to `lastPosition`; `pictureAt` gives a position's picture when it is
    // drawn, so only the pictures shown need be decoded.
    PictureSlider(int lastPosition, std::function<QPixmap(int position)> pictureAt,
                  QWidget* parent = nullptr);

    // The position whose knob lies nearest to x, in the control's own pixels.
    int PositionAt(int x) const;
    // Where the knob's centre lies at a position.
    int KnobCentre(int position) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int RailStart() const;
    int RailLength() const;

    std::function<QPixmap(int position)> m_pictureAt;
};

} // namespace tavrik
