#include "glyphs.h"

#include "theme.h"

#include <QPainterPath>

#include <array>
#include <cmath>
#include <functional>
#include <map>

namespace tavrik::painter {
namespace {

using GlyphFunction = std::function<void(QPainter&, const QRectF&)>;

QPen StrokePen(const QColor& colour, const QRectF& box, double weight = 0.11) {
    QPen pen(colour, std::max(1.2, box.width() * weight));
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

QPointF At(const QRectF& box, double x, double y) {
    return {box.left() + box.width() * x, box.top() + box.height() * y};
}

void Polyline(QPainter& painter, const QRectF& box, std::initializer_list<QPointF> points) {
    QPainterPath path;
    bool first = true;
    for (const QPointF& p : points) {
        const QPointF point = At(box, p.x(), p.y());
        if (first) {
            path.moveTo(point);
            first = false;
        } else {
            path.lineTo(point);
        }
    }
    painter.drawPath(path);
}

void FilledTriangle(QPainter& painter, const QRectF& box, QPointF a, QPointF b, QPointF c) {
    QPainterPath path;
    path.moveTo(At(box, a.x(), a.y()));
    path.lineTo(At(box, b.x(), b.y()));
    path.lineTo(At(box, c.x(), c.y()));
    path.closeSubpath();
    painter.fillPath(path, painter.pen().color());
}

void Bulb(QPainter& painter, const QRectF& box, bool lit) {
    const QRectF glass(At(box, 0.28, 0.1), At(box, 0.72, 0.58));
    painter.drawEllipse(glass);
    Polyline(painter, box, {{0.4, 0.64}, {0.6, 0.64}});
    Polyline(painter, box, {{0.42, 0.76}, {0.58, 0.76}});
    if (lit) {
        painter.setBrush(painter.pen().color());
        painter.drawEllipse(glass.adjusted(glass.width() * 0.25, glass.height() * 0.25,
                                           -glass.width() * 0.25, -glass.height() * 0.25));
        painter.setBrush(Qt::NoBrush);
        for (const auto& [x1, y1, x2, y2] :
             {std::array{0.12, 0.34, 0.2, 0.34}, std::array{0.8, 0.34, 0.88, 0.34},
              std::array{0.18, 0.1, 0.24, 0.16}, std::array{0.82, 0.1, 0.76, 0.16}}) {
            Polyline(painter, box, {{x1, y1}, {x2, y2}});
        }
    } else {
        Polyline(painter, box, {{0.2, 0.08}, {0.8, 0.66}});
    }
}

const std::map<QString, GlyphFunction>& Glyphs() {
    static const std::map<QString, GlyphFunction> glyphs{
        {QStringLiteral("menu"),
         [](QPainter& p, const QRectF& b) {
             Polyline(p, b, {{0.22, 0.3}, {0.78, 0.3}});
             Polyline(p, b, {{0.22, 0.5}, {0.78, 0.5}});
             Polyline(p, b, {{0.22, 0.7}, {0.78, 0.7}});
         }},
        {QStringLiteral("help"),
         [](QPainter& p, const QRectF& b) {
             QPainterPath path;
             path.moveTo(At(b, 0.34, 0.36));
             path.cubicTo(At(b, 0.34, 0.14), At(b, 0.68, 0.14), At(b, 0.66, 0.36));
             path.cubicTo(At(b, 0.64, 0.5), At(b, 0.5, 0.5), At(b, 0.5, 0.62));
             p.drawPath(path);
             p.setBrush(p.pen().color());
             p.drawEllipse(At(b, 0.5, 0.8), b.width() * 0.035, b.width() * 0.035);
             p.setBrush(Qt::NoBrush);
         }},
        {QStringLiteral("minimize"),
         [](QPainter& p, const QRectF& b) {
             Polyline(p, b, {{0.28, 0.62}, {0.72, 0.62}});
         }},
        {QStringLiteral("close"),
         [](QPainter& p, const QRectF& b) {
             Polyline(p, b, {{0.3, 0.3}, {0.7, 0.7}});
             Polyline(p, b, {{0.7, 0.3}, {0.3, 0.7}});
         }},
        {QStringLiteral("left"),
         [](QPainter& p, const QRectF& b) {
             Polyline(p, b, {{0.6, 0.26}, {0.36, 0.5}, {0.6, 0.74}});
         }},
        {QStringLiteral("right"),
         [](QPainter& p, const QRectF& b) {
             Polyline(p, b, {{0.4, 0.26}, {0.64, 0.5}, {0.4, 0.74}});
         }},
        {QStringLiteral("up"),
         [](QPainter& p, const QRectF& b) {
             FilledTriangle(p, b, {0.5, 0.22}, {0.82, 0.72}, {0.18, 0.72});
         }},
        {QStringLiteral("down"),
         [](QPainter& p, const QRectF& b) {
             FilledTriangle(p, b, {0.18, 0.28}, {0.82, 0.28}, {0.5, 0.78});
         }},
        {QStringLiteral("add"),
         [](QPainter& p, const QRectF& b) {
             Polyline(p, b, {{0.5, 0.24}, {0.5, 0.76}});
             Polyline(p, b, {{0.24, 0.5}, {0.76, 0.5}});
         }},
        {QStringLiteral("open"),
         [](QPainter& p, const QRectF& b) {
             Polyline(p, b,
                      {{0.16, 0.74},
                       {0.16, 0.26},
                       {0.4, 0.26},
                       {0.48, 0.36},
                       {0.84, 0.36},
                       {0.84, 0.74},
                       {0.16, 0.74}});
         }},
        {QStringLiteral("delete"),
         [](QPainter& p, const QRectF& b) {
             Polyline(p, b, {{0.22, 0.3}, {0.78, 0.3}});
             Polyline(p, b, {{0.4, 0.3}, {0.42, 0.2}, {0.58, 0.2}, {0.6, 0.3}});
             Polyline(p, b, {{0.28, 0.3}, {0.32, 0.8}, {0.68, 0.8}, {0.72, 0.3}});
         }},
        {QStringLiteral("reset"),
         [](QPainter& p, const QRectF& b) {
             p.drawArc(QRectF(At(b, 0.22, 0.22), At(b, 0.78, 0.78)), 60 * 16, 280 * 16);
             FilledTriangle(p, b, {0.58, 0.1}, {0.78, 0.26}, {0.54, 0.34});
         }},
        {QStringLiteral("macro"),
         [](QPainter& p, const QRectF& b) {
             p.drawRoundedRect(QRectF(At(b, 0.14, 0.24), At(b, 0.86, 0.76)), b.width() * 0.08,
                               b.width() * 0.08);
             Polyline(p, b, {{0.3, 0.62}, {0.3, 0.4}, {0.42, 0.52}, {0.54, 0.4}, {0.54, 0.62}});
             Polyline(p, b, {{0.66, 0.4}, {0.72, 0.5}, {0.66, 0.6}});
         }},
        {QStringLiteral("keyboard"),
         [](QPainter& p, const QRectF& b) {
             p.drawRoundedRect(QRectF(At(b, 0.1, 0.26), At(b, 0.9, 0.74)), b.width() * 0.08,
                               b.width() * 0.08);
             for (double x : {0.26, 0.42, 0.58, 0.74}) {
                 Polyline(p, b, {{x, 0.42}, {x + 0.001, 0.42}});
             }
             Polyline(p, b, {{0.3, 0.6}, {0.7, 0.6}});
         }},
        {QStringLiteral("bulb"), [](QPainter& p, const QRectF& b) { Bulb(p, b, true); }},
        {QStringLiteral("bulboff"), [](QPainter& p, const QRectF& b) { Bulb(p, b, false); }},
        {QStringLiteral("info"),
         [](QPainter& p, const QRectF& b) {
             p.drawEllipse(QRectF(At(b, 0.12, 0.12), At(b, 0.88, 0.88)));
             Polyline(p, b, {{0.5, 0.46}, {0.5, 0.7}});
             Polyline(p, b, {{0.5, 0.32}, {0.5, 0.321}});
         }},
    };
    return glyphs;
}

} // namespace

void PaintGlyph(QPainter& painter, const QString& name, const QRectF& box, const QColor& colour) {
    const auto found = Glyphs().find(name);
    if (found == Glyphs().end()) {
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(StrokePen(colour, box));
    painter.setBrush(Qt::NoBrush);
    found->second(painter, box);
    painter.restore();
}

void PaintLogoMark(QPainter& painter, const QRectF& box, const QColor& ground, const QColor& mark,
                   bool gradientGround) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const double radius = box.width() * 0.24;
    if (gradientGround) {
        QLinearGradient gradient(box.topLeft(), box.bottomRight());
        gradient.setColorAt(0, theme::kAccent);
        gradient.setColorAt(1, theme::kAccentDeep);
        painter.setBrush(gradient);
    } else {
        painter.setBrush(ground);
    }
    painter.drawRoundedRect(box, radius, radius);
    // The "V": two slanted bars meeting at the bottom.
    QPen pen(mark, std::max(1.6, box.width() * 0.15));
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    painter.setPen(pen);
    QPainterPath v;
    v.moveTo(At(box, 0.26, 0.28));
    v.lineTo(At(box, 0.5, 0.74));
    v.lineTo(At(box, 0.74, 0.28));
    painter.drawPath(v);
    painter.restore();
}

} // namespace tavrik::painter
