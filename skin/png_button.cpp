#include "skin/png_button.h"

#include "skin/caption_layout.h"
#include "skin/focus_frame.h"

#include <QEnterEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QToolTip>

namespace tavrik {

CPngButton::CPngButton(QWidget* parent)
    : QAbstractButton(parent) {
    // The face is always drawn whole from the pictures: never erase it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
}

void CPngButton::SetImages(QPoint offset, const StateImages& images, bool redraw) {
    m_offset = offset;
    m_images = images;
    m_hover = false;
    setDown(false);
    Redraw(redraw);
}

void CPngButton::SetStateImages(const StateImages& images, bool redraw) {
    m_images = images;
    m_hover = false;
    setDown(false);
    Redraw(redraw);
}

void CPngButton::SetCheckImages(const SkinSurface* unchecked, const SkinSurface* checked,
                                bool enabled, bool isChecked, bool redraw) {
    m_uncheckedImage = unchecked;
    m_checkedImage = checked;
    m_checkMode = enabled;
    m_checked = isChecked;
    Redraw(redraw);
}

void CPngButton::SetLit(bool on, bool redraw) {
    m_lit = on;
    Redraw(redraw);
}

void CPngButton::SetHighlighted(bool on) {
    m_highlighted = on;
    Redraw(true);
}

void CPngButton::SetTint(QColor colour, bool on) {
    m_tintColour = colour;
    m_tint = on;
    Redraw(true);
}

void CPngButton::SetTextStyle(bool enabled, int pointSize, const QString& face, QColor colour,
                              Qt::Alignment format) {
    m_textEnabled = enabled;
    m_textPointSize = pointSize;
    m_textFace = face;
    m_textColour = colour;
    m_textFormat = format;
    Redraw(true);
}

void CPngButton::SetTextAngle(int escapementTenths, bool rotated) {
    m_escapement = escapementTenths;
    m_rotated = rotated;
    Redraw(true);
}

void CPngButton::SetTooltip(const QString& text, bool activate) {
    m_tooltipText = text;
    m_tooltipActive = activate;
    if (text.isEmpty() && QToolTip::isVisible()) {
        QToolTip::hideText();
    }
}

ButtonLook CPngButton::CurrentLook() const {
    return ChooseButtonLook({.enabled = isEnabled(),
                             .checkMode = m_checkMode,
                             .checked = m_checked,
                             .pressed = isDown(),
                             .hover = m_hover,
                             .lit = m_lit});
}

const SkinSurface* CPngButton::ImageFor(ButtonLook look) const {
    switch (look) {
    case ButtonLook::Disabled:
        return m_images.disabled;
    case ButtonLook::Checked:
        return m_checkedImage;
    case ButtonLook::Unchecked:
        return m_uncheckedImage;
    case ButtonLook::Pressed:
        return m_images.pressed;
    case ButtonLook::Hover:
        return m_images.hover;
    case ButtonLook::Lit:
        return m_images.lit;
    case ButtonLook::Normal:
        break;
    }
    return m_highlighted ? m_images.hover : m_images.normal;
}

QImage CPngButton::TintedFace() const {
    QImage face(size(), QImage::Format_RGB32);
    face.fill(Qt::black);
    if (m_images.normal != nullptr) {
        face = m_images.normal->Cell(Cell());
    }
    const QRgb tint = m_tintColour.rgb() | 0xFF000000u;
    for (int y = 0; y < face.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(face.scanLine(y));
        for (int x = 0; x < face.width(); ++x) {
            row[x] &= tint;
        }
    }
    return face;
}

void CPngButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const ButtonLook look = CurrentLook();
    if (m_tint) {
        painter.drawImage(0, 0, TintedFace());
    } else if (const SkinSurface* image = ImageFor(look); image != nullptr) {
        painter.drawImage(0, 0, image->Cell(Cell()));
    } else {
        painter.fillRect(rect(), Qt::black);
    }
    if (m_textEnabled) {
        DrawCaption(painter);
    }
    if (m_cornerMark.isValid()) {
        DrawCornerMark(painter);
    }
    if (hasFocus()) {
        DrawFocusFrame(painter, rect());
    }
    painter.end();
    if (m_drawCallback) {
        m_drawCallback(*this, !m_tint && look == ButtonLook::Normal);
    }
}

void CPngButton::SetCornerMark(QColor colour) {
    if (colour == m_cornerMark)
        return;
    m_cornerMark = colour;
    update();
}

void CPngButton::DrawCornerMark(QPainter& painter) const {
    // Inside the rounded corner of a key cap, large enough to see at a glance, small enough to
    // leave the legend free.
    constexpr int kInset = 3;
    constexpr int kSide = 9;
    const int right = width() - kInset;
    const QPoint corner[] = {{right - kSide, kInset}, {right, kInset}, {right, kInset + kSide}};
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0, 0, 0, 160), 1));
    painter.setBrush(m_cornerMark);
    painter.drawPolygon(corner, 3);
    painter.restore();
}

void CPngButton::DrawCaption(QPainter& painter) const {
    QFont font(m_textFace);
    // The point size is turned into pixels at the screen's logical resolution.
    font.setPixelSize(std::max(1, m_textPointSize * logicalDpiY() / 72));
    font.setWeight(m_rotated ? QFont::Black : QFont::Normal);
    painter.setFont(font);
    painter.setPen(m_textColour);
    if (!m_rotated || m_escapement == 0) {
        painter.drawText(rect(), static_cast<int>(m_textFormat) | Qt::TextSingleLine, text());
        return;
    }
    const QFontMetrics metrics(font);
    const CaptionBox box = RotatedCaptionBox(width(), height(), metrics.horizontalAdvance(text()),
                                             metrics.height(), m_escapement);
    // The text's baseline starts at the box's bottom-left corner and climbs by the escapement.
    painter.translate(box.left, box.bottom - metrics.descent());
    painter.rotate(-m_escapement / 10.0);
    painter.drawText(0, 0, text());
}

void CPngButton::BeginHover() {
    m_hover = true;
    update();
    if (m_tooltipActive && !m_tooltipText.isEmpty()) {
        QToolTip::showText(QCursor::pos(), m_tooltipText, this, rect(), 10 * kTooltipDelayMs);
    }
}

void CPngButton::enterEvent(QEnterEvent* event) {
    BeginHover();
    QAbstractButton::enterEvent(event);
}

void CPngButton::mouseMoveEvent(QMouseEvent* event) {
    if (!m_hover) {
        BeginHover();
    }
    QAbstractButton::mouseMoveEvent(event);
}

void CPngButton::leaveEvent(QEvent* event) {
    m_hover = false;
    update();
    if (!m_tooltipText.isEmpty()) {
        QToolTip::hideText();
    }
    QAbstractButton::leaveEvent(event);
}

void CPngButton::Redraw(bool redraw) {
    if (redraw) {
        update();
    }
}

} // namespace tavrik
