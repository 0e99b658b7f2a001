#include "dialog_painter.h"

#include "element_painter.h"

#include <QFile>
#include <QJsonArray>
#include <QPainter>
#include <QTextStream>

namespace tavrik::painter {
namespace {

bool OnPage(const Element& element, const PictureSpec& picture) {
    return element.page.isEmpty() || element.page == picture.page;
}

QString RectText(const QRect& rect) {
    return QStringLiteral("%1,%2,%3,%4")
        .arg(rect.x())
        .arg(rect.y())
        .arg(rect.width())
        .arg(rect.height());
}

} // namespace

QImage PaintDialogPicture(const DialogLayout& layout, const PictureSpec& picture) {
    QImage image(layout.size, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    PaintWindowFace(painter, layout.size);
    for (const Element& element : layout.decor) {
        if (OnPage(element, picture)) {
            PaintDecor(painter, element);
        }
    }
    for (const Element& element : layout.buttons) {
        if (OnPage(element, picture)) {
            PaintButton(painter, element, LookFor(element.role, picture.state), picture);
        }
    }
    return image;
}

QImage PaintDialogMask(const DialogLayout& layout) {
    QImage image(layout.size, QImage::Format_RGB32);
    QPainter painter(&image);
    PaintWindowMask(painter, layout.size);
    return image;
}

bool WriteSkinFile(const DialogLayout& layout,
                   const std::vector<std::pair<QString, QRect>>& pictureKeys, const QDir& skins) {
    QFile file(skins.filePath(layout.iniFile));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return false;
    }
    QTextStream out(&file);
    out.setEncoding(QStringConverter::Utf8);
    out << "; " << layout.comment << "\n";
    out << "; Drawn by tavrik-skin-painter from resources/skins/layout; edit the layout and "
           "rebuild rather than this file.\n\n[SCREEN]\n";
    for (const auto& [name, value] : layout.screen) {
        out << name << '=' << value << '\n';
    }
    if (!layout.modes.empty()) {
        out << "\n[Mode]\n";
        for (const auto& [number, name] : layout.modes) {
            out << number << '=' << name << '\n';
        }
    }
    out << "\n[BUTTONINFO]\n";
    for (const Element& element : layout.buttons) {
        out << element.key << '=' << RectText(element.rect) << '\n';
    }
    for (const Element& element : layout.positions) {
        out << element.key << '=' << RectText(element.rect) << '\n';
    }
    const QJsonArray places = layout.arrows.value(QLatin1String("places")).toArray();
    for (const QJsonValue& value : places) {
        const QJsonObject place = value.toObject();
        const QJsonArray r = place.value(QLatin1String("rect")).toArray();
        out << place.value(QLatin1String("key")).toString() << '='
            << RectText(QRect(r.at(0).toInt(), r.at(1).toInt(), r.at(2).toInt(), r.at(3).toInt()))
            << '\n';
    }
    if (!pictureKeys.empty()) {
        out << "\n[BUTTONINFO2]\n";
        for (const auto& [key, rect] : pictureKeys) {
            out << key << '=' << RectText(rect) << '\n';
        }
    }
    out.flush();
    return file.error() == QFile::NoError;
}

} // namespace tavrik::painter
