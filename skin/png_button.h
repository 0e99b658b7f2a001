#pragma once
// CPngButton: a button that shows, for its state, the piece of a whole-dialog picture lying
// under it (each state picture is the dialog with every control in that state). It can also
// show check images, tint its normal picture with a colour, draw a caption (also rotated) and
// show a tooltip while hovered.

#include "skin/button_look.h"
#include "skin/skin_picture.h"

#include <QAbstractButton>
#include <QColor>
#include <QPoint>
#include <QString>

#include <functional>

namespace tavrik {

class CPngButton : public QAbstractButton {
    Q_OBJECT
public:
    // Called after every drawing, with whether the normal picture was the one drawn.
    using DrawCallback = std::function<void(CPngButton& button, bool normalShown)>;

    // Tooltips are re-created on every hover and stay up to ten times this delay.
    static constexpr int kTooltipDelayMs = 2000;

    explicit CPngButton(QWidget* parent = nullptr);

    // The face starts at `offset` in each state picture; clears hover and pressed.
    void SetImages(QPoint offset, const StateImages& images, bool redraw = true);
    void SetStateImages(const StateImages& images, bool redraw = true);
    void SetCheckImages(const SkinSurface* unchecked, const SkinSurface* checked, bool enabled,
                        bool isChecked, bool redraw = true);
    void SetLit(bool on, bool redraw = true);
    // While on, the hover picture serves as the normal one (the key whose dialog is open).
    void SetHighlighted(bool on);
    // White parts of the normal picture take the colour (bitwise AND), black stays black.
    void SetTint(QColor colour, bool on);
    void SetTextStyle(bool enabled, int pointSize = 8,
                      const QString& face = QStringLiteral("Tahoma"), QColor colour = Qt::black,
                      Qt::Alignment format = Qt::AlignCenter);
    // Escapement in tenths of a degree, counter-clockwise; rotated captions are set heavy and
    // placed from their turned extent.
    void SetTextAngle(int escapementTenths, bool rotated);
    void SetTooltip(const QString& text, bool activate = true);
    // A small triangle in the top-right corner, over every look, in this colour; an invalid
    // colour takes it away. It marks what a button's state picture cannot show (the key whose
    // function the next Apply changes), so it is drawn rather than taken from the skin.
    void SetCornerMark(QColor colour);
    QColor CornerMark() const { return m_cornerMark; }
    void SetDrawCallback(DrawCallback callback) { m_drawCallback = std::move(callback); }

    bool IsHovered() const { return m_hover; }
    bool IsLit() const { return m_lit; }
    // The tint colour while tinted, an invalid colour otherwise.
    QColor Tint() const { return m_tint ? m_tintColour : QColor(); }
    const QString& TooltipText() const { return m_tooltipText; }
    // The look the next drawing uses.
    ButtonLook CurrentLook() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    const SkinSurface* ImageFor(ButtonLook look) const;
    QRect Cell() const { return {m_offset, size()}; }
    QImage TintedFace() const;
    void DrawCaption(QPainter& painter) const;
    void DrawCornerMark(QPainter& painter) const;
    void BeginHover();
    void Redraw(bool redraw);

    QPoint m_offset;
    StateImages m_images;
    bool m_hover = false;
    bool m_lit = false;
    bool m_highlighted = false;
    bool m_checkMode = false;
    bool m_checked = false;
    const SkinSurface* m_uncheckedImage = nullptr;
    const SkinSurface* m_checkedImage = nullptr;
    bool m_tint = false;
    QColor m_tintColour;
    bool m_textEnabled = false;
    int m_textPointSize = 8;
    QString m_textFace = QStringLiteral("Tahoma");
    QColor m_textColour = Qt::black;
    Qt::Alignment m_textFormat = Qt::AlignCenter;
    int m_escapement = 0;
    bool m_rotated = false;
    QColor m_cornerMark;
    QString m_tooltipText;
    bool m_tooltipActive = true;
    DrawCallback m_drawCallback;
};

} // namespace tavrik
