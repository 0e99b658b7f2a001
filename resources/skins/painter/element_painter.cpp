#include "element_painter.h"

#include "glyphs.h"
#include "theme.h"

#include <QPainterPath>

#include <functional>
#include <map>

namespace tavrik::painter {
namespace {

constexpr double kWindowRadius = 16;

QColor WithAlpha(QColor colour, int alpha) {
    colour.setAlpha(alpha);
    return colour;
}

void FillRounded(QPainter& p, const QRectF& rect, double radius, const QBrush& fill,
                 const QColor& border, double borderWidth = 1) {
    p.setPen(border.isValid() ? QPen(border, borderWidth) : QPen(Qt::NoPen));
    p.setBrush(fill);
    const double inset = border.isValid() ? borderWidth / 2 : 0;
    p.drawRoundedRect(rect.adjusted(inset, inset, -inset, -inset), radius, radius);
}

// A soft halo around a shape: widening strokes of falling strength.
void Glow(QPainter& p, const QRectF& rect, double radius, const QColor& colour, int rings = 5) {
    p.save();
    p.setBrush(Qt::NoBrush);
    for (int i = rings; i >= 1; --i) {
        p.setPen(QPen(WithAlpha(colour, 70 / i), i * 1.6));
        p.drawRoundedRect(rect, radius, radius);
    }
    p.restore();
}

void Text(QPainter& p, const QRectF& rect, const QString& text, const QFont& font,
          const QColor& colour, int flags = Qt::AlignCenter) {
    p.setFont(font);
    p.setPen(colour);
    p.drawText(rect, flags | Qt::TextSingleLine, text);
}

// Text with a light halo, as a lit legend shines through its cap.
void GlowingText(QPainter& p, const QRectF& rect, const QString& text, const QFont& font,
                 const QColor& colour, int flags = Qt::AlignCenter) {
    for (const auto& [dx, dy] : {std::pair{-1, 0}, {1, 0}, {0, -1}, {0, 1}}) {
        Text(p, rect.translated(dx, dy), text, font, WithAlpha(colour, 70), flags);
    }
    Text(p, rect, text, font, colour, flags);
}

QFont LegendFont(const QString& text, bool small) {
    if (small || text.size() > 3) {
        return theme::Font(small ? 9 : 10, QFont::Medium);
    }
    return theme::Font(text.size() == 1 ? 13 : 11, QFont::Medium);
}

// The font made smaller until the legend fits the cap's face.
QFont FittedFont(QFont font, const QString& text, double width) {
    while (font.pixelSize() > 7 && QFontMetricsF(font).horizontalAdvance(text) > width) {
        font.setPixelSize(font.pixelSize() - 1);
    }
    return font;
}

// Hue along the keyboard for the colour-lit picture.
QColor RainbowAt(const QRectF& rect) {
    const double hue = std::fmod(0.5 + (rect.center().x() - 240) / 1400.0, 1.0);
    return QColor::fromHsvF(static_cast<float>(hue), 0.75f, 1.0f);
}

struct CapColours {
    QColor faceTop = theme::kCapTop;
    QColor faceBottom = theme::kCapBottom;
    QColor border = theme::kCapBorder;
    QColor legend = theme::kText;
    QColor glow;
    double sink = 0;
};

CapColours CapColoursFor(Look look, const QRectF& rect, const QString& variant) {
    CapColours c;
    switch (look) {
    case Look::Hover:
        c.faceTop = theme::kCapTop.lighter(118);
        c.faceBottom = theme::kCapBottom.lighter(118);
        c.border = theme::kAccent;
        c.legend = Qt::white;
        c.glow = theme::kAccent;
        break;
    case Look::Pressed:
        c.faceTop = theme::kCapBottom.darker(115);
        c.faceBottom = theme::kCapBottom.darker(125);
        c.border = theme::kAccent;
        c.legend = theme::kAccent;
        c.sink = 1.5;
        break;
    case Look::Lit:
        c.faceTop = QColor(0x23, 0x2a, 0x33);
        c.faceBottom = QColor(0x1e, 0x24, 0x2c);
        c.glow = variant == QLatin1String("lit") ? RainbowAt(rect) : theme::kAccent;
        c.border = c.glow;
        c.legend = c.glow.lighter(130);
        break;
    case Look::Disabled:
        c.legend = theme::kTextFaint;
        break;
    case Look::Normal:
        if (variant == QLatin1String("dark")) {
            c.legend = theme::kTextFaint;
        }
        break;
    }
    return c;
}

void PaintKey(QPainter& p, const Element& e, Look look, const PictureSpec& picture) {
    const QRectF cap = QRectF(e.rect).adjusted(0.5, 0.5, -0.5, -0.5);
    const CapColours c = CapColoursFor(look, cap, picture.variant);
    if (c.glow.isValid()) {
        Glow(p, cap.adjusted(-1, -1, 1, 1), 6, c.glow);
    }
    // Skirt, then the dished top face inset from it.
    FillRounded(p, cap.translated(0, 1.5), 5, QColor(0, 0, 0, 150), QColor());
    FillRounded(p, cap, 5, theme::kCapEdge, c.border, look == Look::Normal ? 1 : 1.4);
    QRectF face = cap.adjusted(2.5, 1.5 + c.sink, -2.5, -4 + c.sink);
    QLinearGradient gradient(face.topLeft(), face.bottomLeft());
    gradient.setColorAt(0, c.faceTop);
    gradient.setColorAt(1, c.faceBottom);
    FillRounded(p, face, 4, gradient, QColor());
    p.setPen(QPen(WithAlpha(Qt::white, 18), 1));
    p.drawLine(face.topLeft() + QPointF(4, 0.5), face.topRight() + QPointF(-4, 0.5));

    const bool small = e.extra.value(QLatin1String("s")).toBool();
    const auto legend = [&](const QRectF& box, const QString& text, const QFont& font,
                            const QColor& colour) {
        if (look == Look::Lit) {
            GlowingText(p, box, text, font, colour);
        } else {
            Text(p, box, text, font, colour);
        }
    };
    if (e.sub.isEmpty()) {
        legend(face, e.text, FittedFont(LegendFont(e.text, small), e.text, face.width() - 1),
               c.legend);
        return;
    }
    // Shifted symbol above, unshifted below, as printed on the caps.
    const QColor upper = look == Look::Normal ? WithAlpha(c.legend, 170) : c.legend;
    const double middle = face.center().y();
    legend(QRectF(face.left(), middle - 13, face.width(), 13), e.text,
           theme::Font(10, QFont::Medium), upper);
    legend(QRectF(face.left(), middle - 1, face.width(), 13), e.sub, theme::Font(11, QFont::Medium),
           c.legend);
}

struct ButtonColours {
    QBrush fill;
    QColor border;
    QColor text;
    QColor icon;
    QColor glow;
    double sink = 0;
};

ButtonColours ButtonColoursFor(Look look, const QRectF& rect, bool primary) {
    ButtonColours c{theme::kControl, theme::kControlBorder, theme::kText, theme::kTextMuted, {}};
    if (primary) {
        c = {theme::AccentGradient(rect), QColor(), theme::kTextOnAccent, theme::kTextOnAccent, {}};
    }
    switch (look) {
    case Look::Hover:
        if (primary) {
            c.glow = theme::kAccent;
        } else {
            c.fill = theme::kControlHover;
            c.border = WithAlpha(theme::kAccent, 200);
            c.text = Qt::white;
            c.icon = theme::kAccent;
        }
        break;
    case Look::Pressed:
        c.sink = 1;
        if (primary) {
            QLinearGradient darker(rect.topLeft(), rect.topRight());
            darker.setColorAt(0, theme::kAccent.darker(125));
            darker.setColorAt(1, theme::kAccentDeep.darker(125));
            c.fill = darker;
        } else {
            c.fill = theme::kControlPressed;
            c.border = theme::kAccent;
            c.text = theme::kAccent;
            c.icon = theme::kAccent;
        }
        break;
    case Look::Lit: {
        QLinearGradient lit(rect.topLeft(), rect.topRight());
        lit.setColorAt(0, WithAlpha(theme::kAccent, 70));
        lit.setColorAt(1, WithAlpha(theme::kAccentDeep, 70));
        c.fill = lit;
        c.border = theme::kAccent;
        c.text = Qt::white;
        c.icon = theme::kAccent;
        c.glow = theme::kAccent;
        break;
    }
    case Look::Disabled:
        c = {theme::kControlDisabled, theme::kCardBorder, theme::kTextFaint, theme::kTextFaint, {}};
        break;
    case Look::Normal:
        break;
    }
    return c;
}

// Icon and caption side by side, centred (or from the left when `leftAligned`).
void IconAndText(QPainter& p, const QRectF& box, const QString& icon, const QString& text,
                 const QFont& font, const QColor& iconColour, const QColor& textColour,
                 bool leftAligned = false) {
    const QFontMetricsF metrics(font);
    const double iconSize = icon.isEmpty() ? 0 : std::min(18.0, box.height() - 10);
    const double spacing = icon.isEmpty() || text.isEmpty() ? 0 : 8;
    const double width = iconSize + spacing + metrics.horizontalAdvance(text);
    double x = leftAligned ? box.left() + 14 : box.center().x() - width / 2;
    if (!icon.isEmpty()) {
        PaintGlyph(p, icon, QRectF(x, box.center().y() - iconSize / 2, iconSize, iconSize),
                   iconColour);
        x += iconSize + spacing;
    }
    Text(p, QRectF(x, box.top(), box.right() - x, box.height()), text, font, textColour,
         Qt::AlignLeft | Qt::AlignVCenter);
}

void PaintPlainButton(QPainter& p, const Element& e, Look look, bool primary) {
    const QRectF rect = QRectF(e.rect);
    const ButtonColours c = ButtonColoursFor(look, rect, primary);
    if (c.glow.isValid()) {
        Glow(p, rect.adjusted(0.5, 0.5, -0.5, -0.5), 8, c.glow, 4);
    }
    FillRounded(p, rect, 8, c.fill, c.border);
    const QFont font = theme::Font(13, primary ? QFont::Bold : QFont::Medium);
    IconAndText(p, rect.translated(0, c.sink), e.icon, e.text, font, c.icon, c.text);
}

void PaintToggle(QPainter& p, const Element& e, Look look) {
    const QRectF rect = QRectF(e.rect);
    const ButtonColours c = ButtonColoursFor(look, rect, false);
    if (look == Look::Lit) {
        Glow(p, rect.adjusted(0.5, 0.5, -0.5, -0.5), 8, theme::kAccent, 3);
    }
    FillRounded(p, rect, 8, c.fill, c.border);
    // The slot lamp at the left: lit for the active profile.
    const QPointF lamp(rect.left() + 18, rect.center().y() + c.sink);
    p.setPen(QPen(look == Look::Lit ? theme::kAccent : theme::kTextFaint, 1.5));
    p.setBrush(look == Look::Lit ? QBrush(theme::kAccent) : QBrush(Qt::NoBrush));
    p.drawEllipse(lamp, 4.5, 4.5);
    if (look == Look::Lit) {
        p.setPen(QPen(WithAlpha(theme::kAccent, 60), 4));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(lamp, 6.5, 6.5);
    }
    Text(p, rect.adjusted(34, c.sink, -8, c.sink), e.text, theme::Font(13, QFont::Medium), c.text,
         Qt::AlignLeft | Qt::AlignVCenter);
}

void PaintSegment(QPainter& p, const Element& e, Look look) {
    const QRectF rect = QRectF(e.rect);
    ButtonColours c = ButtonColoursFor(look, rect, false);
    if (look == Look::Lit) {
        c.fill = theme::AccentGradient(rect);
        c.text = theme::kTextOnAccent;
        c.border = QColor();
    }
    // Only the outer ends of the row are rounded.
    const QString edge = e.extra.value(QLatin1String("edge")).toString();
    QPainterPath path;
    path.addRoundedRect(rect, 8, 8);
    QRectF square = rect;
    if (edge == QLatin1String("left")) {
        square.setLeft(rect.center().x());
    } else if (edge == QLatin1String("right")) {
        square.setRight(rect.center().x());
    }
    path.addRect(square);
    path.setFillRule(Qt::WindingFill);
    p.setPen(c.border.isValid() ? QPen(c.border, 1) : QPen(Qt::NoPen));
    p.setBrush(c.fill);
    p.drawPath(path.simplified());
    Text(p, rect.translated(0, c.sink), e.text,
         theme::Font(12, look == Look::Lit ? QFont::Bold : QFont::Medium), c.text);
}

void PaintField(QPainter& p, const Element& e, Look look) {
    const QRectF rect = QRectF(e.rect);
    const QColor border = look == Look::Normal ? theme::kControlBorder : theme::kAccent;
    FillRounded(p, rect, 8, look == Look::Pressed ? theme::kControlPressed : theme::kPlate, border);
    const double size = 12;
    PaintGlyph(p, QStringLiteral("down"),
               QRectF(rect.right() - 22, rect.center().y() - size / 2, size, size),
               look == Look::Normal ? theme::kTextMuted : theme::kAccent);
}

void PaintIconButton(QPainter& p, const Element& e, Look look) {
    const QRectF rect = QRectF(e.rect);
    const bool close = e.icon == QLatin1String("close");
    QColor glyph = theme::kTextMuted;
    if (look == Look::Hover) {
        FillRounded(p, rect, rect.width() / 2, close ? theme::kDanger : theme::kControlHover,
                    QColor());
        glyph = Qt::white;
    } else if (look == Look::Pressed) {
        FillRounded(p, rect, rect.width() / 2,
                    close ? theme::kDanger.darker(130) : theme::kControlPressed, QColor());
        glyph = close ? Qt::white : theme::kAccent;
    }
    PaintGlyph(p, e.icon, rect.adjusted(6, 6, -6, -6), glyph);
}

void PaintLink(QPainter& p, const Element& e, Look look) {
    const QRectF rect = QRectF(e.rect);
    const QColor colour = look == Look::Normal    ? theme::kTextMuted
                          : look == Look::Pressed ? theme::kAccentDeep.lighter(130)
                                                  : theme::kAccent;
    PaintGlyph(p, QStringLiteral("info"), QRectF(rect.left(), rect.center().y() - 8, 16, 16),
               colour);
    QFont font = theme::Font(12, QFont::Medium);
    font.setUnderline(look != Look::Normal);
    Text(p, rect.adjusted(24, 0, 0, 0), e.text + QStringLiteral("  ›"), font, colour,
         Qt::AlignLeft | Qt::AlignVCenter);
}

void PaintLed(QPainter& p, const Element& e, Look look, const QColor& onColour) {
    const QRectF rect = QRectF(e.rect);
    const bool on = look == Look::Lit;
    const QPointF dot(rect.left() + 6, rect.center().y());
    if (on) {
        p.setPen(Qt::NoPen);
        for (int r = 8; r >= 4; r -= 2) {
            p.setBrush(WithAlpha(onColour, 40));
            p.drawEllipse(dot, r, r);
        }
    }
    p.setPen(QPen(on ? onColour.lighter(120) : theme::kControlBorder, 1));
    p.setBrush(on ? onColour : QColor(0x22, 0x25, 0x2c));
    p.drawEllipse(dot, 3.5, 3.5);
    QFont font = theme::Font(9, QFont::Bold);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0.8);
    Text(p, rect.adjusted(14, 0, 0, 0), e.text, font, on ? theme::kText : theme::kTextFaint,
         Qt::AlignLeft | Qt::AlignVCenter);
}

void PaintLamp(QPainter& p, const Element& e, Look look) {
    const QRectF rect = QRectF(e.rect);
    const bool on = look == Look::Lit;
    if (on) {
        Glow(p, rect, rect.height() / 2, theme::kAccent, 3);
    }
    FillRounded(p, rect, rect.height() / 2,
                on ? QBrush(theme::AccentGradient(rect)) : QBrush(theme::kControlDisabled),
                on ? QColor() : theme::kControlBorder);
    QFont font = theme::Font(10, QFont::Bold);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 1.2);
    Text(p, rect, e.text, font, on ? theme::kTextOnAccent : theme::kTextMuted);
}

void PaintSmallButton(QPainter& p, const Element& e, Look look) {
    const QRectF rect = QRectF(e.rect);
    const ButtonColours c = ButtonColoursFor(look, rect, false);
    FillRounded(p, rect, 6, c.fill, c.border);
    PaintGlyph(p, e.icon, rect.adjusted(4, 4 + c.sink, -4, -4 + c.sink), c.text);
}

void PaintVersion(QPainter& p, const Element& e) {
    QFont font = theme::Font(9, QFont::Bold);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
    Text(p, QRectF(e.rect), e.text, font, theme::kTextFaint, Qt::AlignLeft | Qt::AlignVCenter);
}

void PaintTab(QPainter& p, const Element& e, Look look) {
    const QRectF rect = QRectF(e.rect);
    QColor text = theme::kTextMuted;
    if (look == Look::Hover) {
        FillRounded(p, rect, 8, theme::kControlHover, QColor());
        text = Qt::white;
    } else if (look == Look::Pressed) {
        FillRounded(p, rect, 8, theme::kControl, theme::kControlBorder);
        p.setPen(Qt::NoPen);
        p.setBrush(theme::AccentGradient(rect));
        p.drawRoundedRect(QRectF(rect.left() + 16, rect.bottom() - 4, rect.width() - 32, 3), 1.5,
                          1.5);
        text = Qt::white;
    } else if (look == Look::Disabled) {
        text = theme::kTextFaint;
    }
    IconAndText(p, rect, e.icon, e.text, theme::Font(13, QFont::Medium),
                look == Look::Disabled ? theme::kTextFaint : theme::kAccent, text);
}

void PaintDialogTitle(QPainter& p, const Element& e, const PictureSpec& picture) {
    const QRectF rect = QRectF(e.rect);
    const QJsonObject variants = e.extra.value(QLatin1String("variants")).toObject();
    const QString text =
        variants.contains(picture.variant) ? variants.value(picture.variant).toString() : e.text;
    p.setPen(Qt::NoPen);
    p.setBrush(theme::AccentGradient(rect));
    p.drawRoundedRect(QRectF(rect.left() + 4, rect.top() + 7, 4, rect.height() - 14), 2, 2);
    Text(p, rect.adjusted(18, 0, 0, 0), text, theme::Font(17, QFont::Bold), theme::kText,
         Qt::AlignLeft | Qt::AlignVCenter);
}

void PaintRecord(QPainter& p, const Element& e, Look look) {
    const QRectF rect = QRectF(e.rect);
    const bool stopping = look == Look::Pressed;
    ButtonColours c = ButtonColoursFor(look, rect, false);
    if (stopping) {
        c.fill = theme::kDanger.darker(140);
        c.border = theme::kDanger;
        c.text = Qt::white;
    }
    FillRounded(p, rect, 8, c.fill, c.border);
    const QFont font = theme::Font(13, QFont::Bold);
    const QString text = stopping ? e.extra.value(QLatin1String("pressedText")).toString() : e.text;
    const QFontMetricsF metrics(font);
    const double width = 12 + 8 + metrics.horizontalAdvance(text);
    const double x = rect.center().x() - width / 2;
    const QRectF mark(x, rect.center().y() - 6, 12, 12);
    p.setPen(Qt::NoPen);
    p.setBrush(look == Look::Disabled ? theme::kTextFaint
               : stopping             ? QColor(Qt::white)
                                      : theme::kDanger);
    if (stopping) {
        p.drawRoundedRect(mark.adjusted(1, 1, -1, -1), 2, 2);
    } else {
        p.drawEllipse(mark);
    }
    Text(p, QRectF(x + 20, rect.top(), rect.right() - x - 20, rect.height()), text, font, c.text,
         Qt::AlignLeft | Qt::AlignVCenter);
}

using DecorPainter = std::function<void(QPainter&, const Element&)>;

const std::map<QString, DecorPainter>& DecorPainters() {
    static const std::map<QString, DecorPainter> painters{
        {QStringLiteral("logo"),
         [](QPainter& p, const Element& e) {
             PaintLogoMark(p, QRectF(e.rect), QColor(), Qt::white, true);
         }},
        {QStringLiteral("brand"),
         [](QPainter& p, const Element& e) {
             QFont name = theme::Font(22, QFont::Black);
             name.setLetterSpacing(QFont::AbsoluteSpacing, 2.5);
             const QFontMetricsF metrics(name);
             Text(p, QRectF(e.rect), e.text, name, theme::kText, Qt::AlignLeft | Qt::AlignVCenter);
             const double x = e.rect.left() + metrics.horizontalAdvance(e.text) + 8;
             QPainterPath path;
             QFont model = theme::Font(22, QFont::Light);
             const QFontMetricsF modelMetrics(model);
             path.addText(x, e.rect.center().y() + modelMetrics.capHeight() / 2, model, e.sub);
             p.fillPath(path, theme::AccentGradient(path.boundingRect()));
         }},
        {QStringLiteral("subtitle"),
         [](QPainter& p, const Element& e) {
             p.setPen(QPen(theme::kControlBorder, 1));
             p.drawLine(QPointF(e.rect.left() - 14, e.rect.top() + 3),
                        QPointF(e.rect.left() - 14, e.rect.bottom() - 2));
             Text(p, QRectF(e.rect), e.text, theme::Font(14), theme::kTextMuted,
                  Qt::AlignLeft | Qt::AlignVCenter);
         }},
        {QStringLiteral("card"),
         [](QPainter& p, const Element& e) {
             FillRounded(p, QRectF(e.rect), 12, theme::kCard, theme::kCardBorder);
         }},
        {QStringLiteral("page"),
         [](QPainter& p, const Element& e) {
             FillRounded(p, QRectF(e.rect), 10, theme::kCard, theme::kCardBorder);
         }},
        {QStringLiteral("heading"),
         [](QPainter& p, const Element& e) {
             QFont font = theme::Font(12, QFont::Bold);
             font.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
             Text(p, QRectF(e.rect), e.text, font, theme::kTextMuted,
                  Qt::AlignLeft | Qt::AlignVCenter);
         }},
        {QStringLiteral("separator"),
         [](QPainter& p, const Element& e) { p.fillRect(e.rect, theme::kCardBorder); }},
        {QStringLiteral("plate"),
         [](QPainter& p, const Element& e) {
             const QRectF rect = QRectF(e.rect);
             QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
             gradient.setColorAt(0, theme::kPlate.lighter(112));
             gradient.setColorAt(1, theme::kPlate);
             FillRounded(p, rect, 14, gradient, theme::kPlateBorder);
             p.setPen(QPen(WithAlpha(Qt::white, 14), 1));
             p.drawLine(rect.topLeft() + QPointF(14, 1.5), rect.topRight() + QPointF(-14, 1.5));
             // Engraved maker's mark in the strip above the keys.
             QFont mark = theme::Font(10, QFont::Bold);
             mark.setLetterSpacing(QFont::AbsoluteSpacing, 4);
             Text(p, QRectF(rect.left(), rect.top() + 14, rect.width(), 22),
                  QStringLiteral("VOLTRI  ·  VX60  MECHANICAL"), mark, QColor(0x2c, 0x31, 0x3b));
         }},
        {QStringLiteral("hint"),
         [](QPainter& p, const Element& e) {
             PaintGlyph(p, QStringLiteral("info"),
                        QRectF(e.rect.left(), e.rect.center().y() - 7, 14, 14), theme::kTextFaint);
             Text(p, QRectF(e.rect).adjusted(20, 0, 0, 0), e.text, theme::Font(11),
                  theme::kTextFaint, Qt::AlignLeft | Qt::AlignVCenter);
         }},
        {QStringLiteral("title"),
         [](QPainter& p, const Element& e) {
             Text(p, QRectF(e.rect), e.text, theme::Font(17, QFont::Bold), theme::kText,
                  Qt::AlignLeft | Qt::AlignVCenter);
         }},
        {QStringLiteral("caption"),
         [](QPainter& p, const Element& e) {
             Text(p, QRectF(e.rect), e.text, theme::Font(12), theme::kTextMuted,
                  Qt::AlignLeft | Qt::AlignVCenter);
         }},
        {QStringLiteral("frame"),
         [](QPainter& p, const Element& e) {
             FillRounded(p, QRectF(e.rect), 8, theme::kPlate, theme::kControlBorder);
         }},
    };
    return painters;
}

using ButtonPainter = std::function<void(QPainter&, const Element&, Look, const PictureSpec&)>;

const std::map<QString, ButtonPainter>& ButtonPainters() {
    static const std::map<QString, ButtonPainter> painters{
        {QStringLiteral("key"), PaintKey},
        {QStringLiteral("button"), [](QPainter& p, const Element& e, Look l,
                                      const PictureSpec&) { PaintPlainButton(p, e, l, false); }},
        {QStringLiteral("primary"), [](QPainter& p, const Element& e, Look l,
                                       const PictureSpec&) { PaintPlainButton(p, e, l, true); }},
        {QStringLiteral("toggle"),
         [](QPainter& p, const Element& e, Look l, const PictureSpec&) { PaintToggle(p, e, l); }},
        {QStringLiteral("segment"),
         [](QPainter& p, const Element& e, Look l, const PictureSpec&) { PaintSegment(p, e, l); }},
        {QStringLiteral("field"),
         [](QPainter& p, const Element& e, Look l, const PictureSpec&) { PaintField(p, e, l); }},
        {QStringLiteral("iconbutton"), [](QPainter& p, const Element& e, Look l,
                                          const PictureSpec&) { PaintIconButton(p, e, l); }},
        {QStringLiteral("link"),
         [](QPainter& p, const Element& e, Look l, const PictureSpec&) { PaintLink(p, e, l); }},
        {QStringLiteral("led"), [](QPainter& p, const Element& e, Look l,
                                   const PictureSpec&) { PaintLed(p, e, l, theme::kLedOn); }},
        {QStringLiteral("bank"), [](QPainter& p, const Element& e, Look l,
                                    const PictureSpec&) { PaintLed(p, e, l, theme::kAccent); }},
        {QStringLiteral("lamp"),
         [](QPainter& p, const Element& e, Look l, const PictureSpec&) { PaintLamp(p, e, l); }},
        {QStringLiteral("flipbutton"), [](QPainter& p, const Element& e, Look l,
                                          const PictureSpec&) { PaintSmallButton(p, e, l); }},
        {QStringLiteral("version"),
         [](QPainter& p, const Element& e, Look, const PictureSpec&) { PaintVersion(p, e); }},
        {QStringLiteral("tab"),
         [](QPainter& p, const Element& e, Look l, const PictureSpec&) { PaintTab(p, e, l); }},
        {QStringLiteral("dialogtitle"), [](QPainter& p, const Element& e, Look,
                                           const PictureSpec& s) { PaintDialogTitle(p, e, s); }},
        {QStringLiteral("record"),
         [](QPainter& p, const Element& e, Look l, const PictureSpec&) { PaintRecord(p, e, l); }},
        {QStringLiteral("blank"), [](QPainter&, const Element&, Look, const PictureSpec&) {}},
    };
    return painters;
}

} // namespace

void PaintDecor(QPainter& painter, const Element& element) {
    const auto found = DecorPainters().find(element.kind);
    if (found != DecorPainters().end()) {
        painter.save();
        found->second(painter, element);
        painter.restore();
    }
}

void PaintButton(QPainter& painter, const Element& element, Look look, const PictureSpec& picture) {
    const auto found = ButtonPainters().find(element.kind);
    if (found != ButtonPainters().end()) {
        painter.save();
        found->second(painter, element, look, picture);
        painter.restore();
    }
}

void PaintWindowFace(QPainter& painter, QSize size) {
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    const QRectF rect(0, 0, size.width(), size.height());
    QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
    gradient.setColorAt(0, theme::kWindowTop);
    gradient.setColorAt(1, theme::kWindowBottom);
    FillRounded(painter, rect, kWindowRadius, gradient, theme::kWindowBorder);
    // A faint accent line along the top edge.
    QLinearGradient line(rect.topLeft(), rect.topRight());
    line.setColorAt(0, WithAlpha(theme::kAccent, 0));
    line.setColorAt(0.5, WithAlpha(theme::kAccent, 150));
    line.setColorAt(1, WithAlpha(theme::kAccentDeep, 0));
    painter.setPen(QPen(QBrush(line), 1.5));
    painter.drawLine(QPointF(kWindowRadius, 1), QPointF(rect.width() - kWindowRadius, 1));
}

void PaintWindowMask(QPainter& painter, QSize size) {
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawRoundedRect(QRectF(0, 0, size.width(), size.height()), kWindowRadius,
                            kWindowRadius);
}

} // namespace tavrik::painter
