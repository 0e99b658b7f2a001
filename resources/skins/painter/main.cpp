// tavrik-skin-painter: draws the skin (dialog pictures, masks, lighting panel bitmaps, flip
// arrows, icons) and writes its skin files from the layout descriptions.
//   tavrik-skin-painter LAYOUT_FOLDER OUTPUT_FOLDER
// writes OUTPUT_FOLDER/Skins/... and OUTPUT_FOLDER/icons/....

#include "dialog_painter.h"
#include "picture_sheets.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>

namespace {

using tavrik::painter::DialogLayout;

bool DrawDialog(const DialogLayout& layout, const QDir& skins) {
    for (const tavrik::painter::PictureSpec& picture : layout.pictures) {
        if (!tavrik::painter::PaintDialogPicture(layout, picture)
                 .save(skins.filePath(picture.file), "JPG", 95)) {
            return false;
        }
    }
    std::vector<std::pair<QString, QRect>> pictureKeys;
    if (!layout.arrows.isEmpty() &&
        !tavrik::painter::WriteArrowSheet(layout.arrows, skins, pictureKeys)) {
        return false;
    }
    if (!layout.panel.isEmpty() && !tavrik::painter::WritePanelPictures(layout.panel, skins)) {
        return false;
    }
    return tavrik::painter::PaintDialogMask(layout).save(skins.filePath(layout.MaskFile()),
                                                         "BMP") &&
           tavrik::painter::WriteSkinFile(layout, pictureKeys, skins);
}

int Fail(const QString& message) {
    std::fprintf(stderr, "tavrik-skin-painter: %s\n", qPrintable(message));
    return 1;
}

} // namespace

int main(int argc, char* argv[]) {
    QGuiApplication application(argc, argv);
    if (argc != 3) {
        return Fail(QStringLiteral("usage: tavrik-skin-painter LAYOUT_FOLDER OUTPUT_FOLDER"));
    }
    const QDir layouts(QString::fromLocal8Bit(argv[1]));
    QDir output(QString::fromLocal8Bit(argv[2]));
    if (!output.mkpath(QStringLiteral("Skins")) || !output.mkpath(QStringLiteral("icons"))) {
        return Fail(QStringLiteral("cannot create the output folders"));
    }
    const QDir skins(output.filePath(QStringLiteral("Skins")));
    for (const QString& name : {QStringLiteral("main.json"), QStringLiteral("profile.json"),
                                QStringLiteral("composite.json")}) {
        QString error;
        const std::optional<DialogLayout> layout =
            tavrik::painter::ReadLayout(layouts.filePath(name), error);
        if (!layout) {
            return Fail(error);
        }
        if (!DrawDialog(*layout, skins)) {
            return Fail(QStringLiteral("cannot write the skin of %1").arg(name));
        }
    }
    if (!tavrik::painter::WriteIcons(QDir(output.filePath(QStringLiteral("icons"))))) {
        return Fail(QStringLiteral("cannot write the icons"));
    }
    return 0;
}
