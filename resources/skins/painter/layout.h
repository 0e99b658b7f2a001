#pragma once
// A dialog's layout description as the painter reads it from its JSON file: the state pictures
// to draw, the decoration, the image buttons with their skin keys, and the places of the
// controls that the program draws itself.

#include <QJsonObject>
#include <QRect>
#include <QSize>
#include <QString>

#include <optional>
#include <utility>
#include <vector>

namespace tavrik::painter {

// Which look a button shows in a picture.
enum class Look { Normal, Hover, Pressed, Disabled, Lit };
// Which state picture is drawn.
enum class PictureState { Normal, Over, Down, Disable };

struct PictureSpec {
    QString file;
    PictureState state = PictureState::Normal;
    QString page;    // the assignment dialog's page drawn in the page area
    QString variant; // "macro2", "dark", "lit": variants of a picture set
};

struct Element {
    QString kind;
    QString key; // skin key; empty for decoration
    QRect rect;
    QString text;
    QString sub;
    QString icon;
    QString role;
    QString page; // drawn only on pictures of this page
    QJsonObject extra;
};

struct DialogLayout {
    QString comment;
    QString iniFile;
    QSize size;
    std::vector<std::pair<QString, QString>> screen; // "Main", "Mask", "Link"
    std::vector<std::pair<QString, QString>> modes;
    std::vector<PictureSpec> pictures;
    std::vector<Element> decor;
    std::vector<Element> buttons; // image buttons, the keyboard's keys included
    std::vector<Element> positions;
    QJsonObject arrows;
    QJsonObject panel;

    QString MaskFile() const;
};

// Reads a layout; keyboard rows become key buttons whose skin keys come from the key table.
// Nothing (with the reason in `error`) when the file is not a valid layout.
std::optional<DialogLayout> ReadLayout(const QString& file, QString& error);

// The look a button of `role` shows in a picture of `state`.
Look LookFor(const QString& role, PictureState state);

} // namespace tavrik::painter
