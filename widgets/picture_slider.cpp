#include "widgets/picture_slider.h"

#include "skin/focus_frame.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace tavrik {

PictureSlider::PictureSlider(int lastPosition, std::function<QPixmap(int position)> pictureAt,
                             QWidget* parent)
    : QAbstractSlider(parent)
    , m_pictureAt(std::move(pictureAt)) {
    setOrientation(Qt::Horizontal);
    setRange(0, std::max(0, lastPosition));
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
}

// The pictures draw the knob with a diameter ten pixels less than the control's height, its
// centre travelling from two pixels past half a knob at the left end to the same at the right.
int PictureSlider::RailStart() const {
    return (height() - 10) / 2 + 2;
}

int PictureSlider::RailLength() const {
    return std::max(1, width() - 2 * RailStart());
}

int PictureSlider::PositionAt(int x) const {
    const double along = static_cast<double>(x - RailStart()) / RailLength();
    const int position = static_cast<int>(std::lround(along * (maximum() - minimum())));
    return std::clamp(minimum() + position, minimum(), maximum());
}

int PictureSlider::KnobCentre(int position) const {
    const int span = std::max(1, maximum() - minimum());
    return RailStart() + RailLength() * (position - minimum()) / span;
}

void PictureSlider::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (const QPixmap picture = m_pictureAt(sliderPosition()); !picture.isNull())
        painter.drawPixmap(0, 0, picture);
    if (hasFocus())
        DrawFocusFrame(painter, rect());
}

void PictureSlider::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    setSliderDown(true);
    setSliderPosition(PositionAt(event->position().toPoint().x()));
}

void PictureSlider::mouseMoveEvent(QMouseEvent* event) {
    if (!isSliderDown())
        return;
    setSliderPosition(PositionAt(event->position().toPoint().x()));
}

void PictureSlider::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && isSliderDown())
        setSliderDown(false);
}

} // namespace tavrik
