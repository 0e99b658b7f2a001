#include "picture_sheets.h"

#include "glyphs.h"
#include "theme.h"

#include <QImage>
#include <QJsonArray>
#include <QPainter>
#include <QPainterPath>

namespace tavrik::painter {
namespace {

QSize SizeOf(const QJsonObject& object) {
    const QJsonArray size = object.value(QLatin1String("size")).toArray();
    return {size.at(0).toInt(), size.at(1).toInt()};
}

// A picture on the panel's card colour (bitmaps have no transparency).
QImage Canvas(QSize size, const QColor& ground = theme::kCard) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(ground);
    return image;
}

bool Save(const QImage& image, const QDir& folder, const QString& name) {
    const QString format =
        name.endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive)   ? QStringLiteral("BMP")
        : name.endsWith(QLatin1String(".png"), Qt::CaseInsensitive) ? QStringLiteral("PNG")
                                                                    : QStringLiteral("JPG");
    return image.save(folder.filePath(name), format.toLatin1().constData(), 95);
}

void Begin(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
}

QImage Switch(QSize size, bool on) {
    QImage image = Canvas(size);
    QPainter p(&image);
    Begin(p);
    const QRectF track(1, 3, size.width() - 2, size.height() - 6);
    p.setPen(on ? Qt::NoPen : QPen(theme::kControlBorder, 1));
    p.setBrush(on ? QBrush(theme::AccentGradient(track)) : QBrush(theme::kControl));
    p.drawRoundedRect(track, track.height() / 2, track.height() / 2);
    const double knob = track.height() - 6;
    const double x = on ? track.right() - knob - 3 : track.left() + 3;
    p.setPen(Qt::NoPen);
    p.setBrush(on ? QColor(Qt::white) : theme::kTextMuted);
    p.drawEllipse(QRectF(x, track.top() + 3, knob, knob));
    return image;
}

QImage GlyphButton(QSize size, const QString& glyph, bool chosen) {
    QImage image = Canvas(size);
    QPainter p(&image);
    Begin(p);
    const QRectF rect(0.5, 0.5, size.width() - 1, size.height() - 1);
    if (chosen) {
        QLinearGradient fill(rect.topLeft(), rect.topRight());
        fill.setColorAt(0, QColor(0x22, 0xd3, 0xee, 60));
        fill.setColorAt(1, QColor(0x8b, 0x5c, 0xf6, 60));
        p.setBrush(fill);
        p.setPen(QPen(theme::kAccent, 1));
    } else {
        p.setBrush(theme::kControl);
        p.setPen(QPen(theme::kControlBorder, 1));
    }
    p.drawRoundedRect(rect, 7, 7);
    const double box = std::min(size.width(), size.height()) - 12;
    PaintGlyph(p, glyph, QRectF((size.width() - box) / 2, (size.height() - box) / 2, box, box),
               chosen ? theme::kAccent : theme::kTextMuted);
    return image;
}

QImage Choice(QSize size, bool on) {
    QImage image = Canvas(size);
    QPainter p(&image);
    Begin(p);
    const QRectF ring(2, 2, size.width() - 4, size.height() - 4);
    p.setPen(QPen(on ? theme::kAccent : theme::kTextFaint, 1.6));
    p.setBrush(theme::kPlate);
    p.drawEllipse(ring);
    if (on) {
        p.setPen(Qt::NoPen);
        p.setBrush(theme::kAccent);
        p.drawEllipse(ring.adjusted(4, 4, -4, -4));
    }
    return image;
}

QImage BusyFrame(QSize size, int frame, int frames) {
    QImage image = Canvas(size);
    QPainter p(&image);
    Begin(p);
    const QRectF ring(4, 4, size.width() - 8, size.height() - 8);
    p.setPen(QPen(theme::kControl, 3));
    p.drawEllipse(ring);
    QConicalGradient sweep(ring.center(), -360.0 * frame / frames);
    sweep.setColorAt(0, theme::kAccent);
    sweep.setColorAt(0.7, QColor(0x8b, 0x5c, 0xf6, 0));
    QPen pen(QBrush(sweep), 3);
    pen.setCapStyle(Qt::RoundCap);
    p.setPen(pen);
    const int start = static_cast<int>(-360.0 * frame / frames * 16);
    p.drawArc(ring, start, 250 * 16);
    return image;
}

QImage Slider(QSize size, int position, int last) {
    QImage image = Canvas(size);
    QPainter p(&image);
    Begin(p);
    const double knob = size.height() - 10;
    const double left = knob / 2 + 2;
    const double right = size.width() - knob / 2 - 2;
    const double y = size.height() / 2.0;
    const QRectF rail(left, y - 3, right - left, 6);
    p.setPen(Qt::NoPen);
    p.setBrush(theme::kControl);
    p.drawRoundedRect(rail, 3, 3);
    const double x = left + (right - left) * position / last;
    const QRectF filled(left, y - 3, x - left, 6);
    p.setBrush(theme::AccentGradient(rail));
    p.drawRoundedRect(filled, 3, 3);
    p.setBrush(QColor(0x22, 0xd3, 0xee, 50));
    p.drawEllipse(QPointF(x, y), knob / 2 + 3, knob / 2 + 3);
    p.setBrush(Qt::white);
    p.setPen(QPen(theme::kAccent, 2));
    p.drawEllipse(QPointF(x, y), knob / 2, knob / 2);
    return image;
}

bool WritePair(const QJsonObject& group, const QString& name, const QDir& skins,
               const std::function<QImage(QSize, bool)>& paint) {
    const QJsonArray files = group.value(name).toArray();
    const QSize size = SizeOf(group);
    return Save(paint(size, false), skins, files.at(0).toString()) &&
           Save(paint(size, true), skins, files.at(1).toString());
}

QImage IconImage(int id, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    Begin(p);
    const QRectF box(0, 0, size, size);
    const QRectF inner = box.adjusted(size * 0.04, size * 0.04, -size * 0.04, -size * 0.04);
    switch (id) {
    case 141: // a keyboard is attached: the mark on a highlighted ground
        PaintLogoMark(p, inner, QColor(0xfa, 0xcc, 0x15), QColor(0x14, 0x16, 0x1b), false);
        break;
    case 142: { // the keyboard plays a macro
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x16, 0xa3, 0x4a));
        p.drawEllipse(inner);
        QPainterPath triangle;
        triangle.moveTo(size * 0.38, size * 0.26);
        triangle.lineTo(size * 0.76, size * 0.5);
        triangle.lineTo(size * 0.38, size * 0.74);
        triangle.closeSubpath();
        p.fillPath(triangle, Qt::white);
        break;
    }
    default:
        PaintLogoMark(p, inner, QColor(), Qt::white, true);
        break;
    }
    return image;
}

} // namespace

bool WritePanelPictures(const QJsonObject& panel, const QDir& skins) {
    const QJsonObject switchGroup = panel.value(QLatin1String("switch")).toObject();
    const QJsonObject choice = panel.value(QLatin1String("choice")).toObject();
    const QJsonObject direction = panel.value(QLatin1String("direction")).toObject();
    const QJsonObject tools = panel.value(QLatin1String("tools")).toObject();
    const QJsonObject busy = panel.value(QLatin1String("busy")).toObject();
    const QJsonObject slider = panel.value(QLatin1String("slider")).toObject();
    bool ok =
        Save(Switch(SizeOf(switchGroup), false), skins,
             switchGroup.value(QLatin1String("off")).toString()) &&
        Save(Switch(SizeOf(switchGroup), true), skins,
             switchGroup.value(QLatin1String("on")).toString()) &&
        Save(Choice(SizeOf(choice), false), skins, choice.value(QLatin1String("off")).toString()) &&
        Save(Choice(SizeOf(choice), true), skins, choice.value(QLatin1String("on")).toString());
    const auto glyphPair = [](const QString& glyph) {
        return [glyph](QSize size, bool chosen) { return GlyphButton(size, glyph, chosen); };
    };
    ok = ok &&
         WritePair(direction, QStringLiteral("left"), skins, glyphPair(QStringLiteral("left"))) &&
         WritePair(direction, QStringLiteral("right"), skins, glyphPair(QStringLiteral("right"))) &&
         WritePair(tools, QStringLiteral("light"), skins, glyphPair(QStringLiteral("bulb"))) &&
         WritePair(tools, QStringLiteral("dark"), skins, glyphPair(QStringLiteral("bulboff")));
    const int frames = busy.value(QLatin1String("frames")).toInt();
    for (int frame = 0; ok && frame < frames; ++frame) {
        ok = Save(BusyFrame(SizeOf(busy), frame, frames), skins,
                  busy.value(QLatin1String("name")).toString().arg(frame + 1));
    }
    const int positions = slider.value(QLatin1String("positions")).toInt();
    for (int position = 0; ok && position < positions; ++position) {
        ok = Save(Slider(SizeOf(slider), position, positions - 1), skins,
                  slider.value(QLatin1String("name")).toString().arg(position));
    }
    return ok;
}

bool WriteArrowSheet(const QJsonObject& arrows, const QDir& skins,
                     std::vector<std::pair<QString, QRect>>& cellKeys) {
    const QJsonArray cellSize = arrows.value(QLatin1String("cell")).toArray();
    const QSize cell(cellSize.at(0).toInt(), cellSize.at(1).toInt());
    const QJsonArray cells = arrows.value(QLatin1String("cells")).toArray();
    QImage sheet = Canvas(QSize(cell.width() * static_cast<int>(cells.size()), cell.height()),
                          theme::kPlate.lighter(112));
    QPainter p(&sheet);
    Begin(p);
    int x = 0;
    for (const QJsonValue& value : cells) {
        const QJsonObject item = value.toObject();
        const QString icon = item.value(QLatin1String("icon")).toString();
        const QColor colour = icon == QLatin1String("up") ? theme::kAccent : theme::kTextFaint;
        PaintGlyph(p, icon, QRectF(x + 2, 2, cell.width() - 4, cell.height() - 4), colour);
        cellKeys.emplace_back(item.value(QLatin1String("key")).toString(),
                              QRect(QPoint(x, 0), cell));
        x += cell.width();
    }
    p.end();
    return Save(sheet, skins, arrows.value(QLatin1String("sheet")).toString());
}

bool WriteIcons(const QDir& icons) {
    struct IconSizes {
        int id;
        std::initializer_list<int> sizes;
    };
    const IconSizes all[] = {{128, {16, 22, 24, 32, 48, 64, 128, 256}},
                             {141, {16, 22, 24, 32, 48}},
                             {142, {16, 22, 24, 32, 48}}};
    for (const IconSizes& icon : all) {
        for (int size : icon.sizes) {
            if (!Save(IconImage(icon.id, size), icons,
                      QStringLiteral("%1-%2.png").arg(icon.id).arg(size))) {
                return false;
            }
        }
    }
    return true;
}

} // namespace tavrik::painter
