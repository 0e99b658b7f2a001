#include "widgets/picture_choice.h"

#include "skin/focus_frame.h"

#include <QPainter>

namespace tavrik {

PictureChoice::PictureChoice(QPixmap plain, QPixmap marked, QWidget* parent)
    : QAbstractButton(parent)
    , m_plain(std::move(plain))
    , m_markedPicture(std::move(marked)) {
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
}

void PictureChoice::SetMarked(bool marked) {
    if (m_marked == marked)
        return;
    m_marked = marked;
    update();
}

void PictureChoice::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_marked ? m_markedPicture : m_plain);
    if (hasFocus())
        DrawFocusFrame(painter, rect());
}

} // namespace tavrik
