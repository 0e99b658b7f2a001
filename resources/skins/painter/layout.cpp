#include "layout.h"

#include "keys/key_table.h"
#include "skin/skin_keys.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

namespace tavrik::painter {
namespace {

QRect RectOf(const QJsonValue& value) {
    const QJsonArray a = value.toArray();
    return {a.at(0).toInt(), a.at(1).toInt(), a.at(2).toInt(), a.at(3).toInt()};
}

PictureState StateOf(const QString& name) {
    if (name == QLatin1String("over")) {
        return PictureState::Over;
    }
    if (name == QLatin1String("down")) {
        return PictureState::Down;
    }
    if (name == QLatin1String("disable")) {
        return PictureState::Disable;
    }
    return PictureState::Normal;
}

Element ElementOf(const QJsonObject& object) {
    Element element;
    element.kind = object.value(QLatin1String("kind")).toString();
    element.key = object.value(QLatin1String("key")).toString();
    element.rect = RectOf(object.value(QLatin1String("rect")));
    element.text = object.value(QLatin1String("text")).toString();
    element.sub = object.value(QLatin1String("sub")).toString();
    element.icon = object.value(QLatin1String("icon")).toString();
    element.role = object.value(QLatin1String("role")).toString();
    element.page = object.value(QLatin1String("page")).toString();
    element.extra = object;
    return element;
}

std::vector<Element> ElementsOf(const QJsonValue& value) {
    std::vector<Element> elements;
    for (const QJsonValue& item : value.toArray()) {
        elements.push_back(ElementOf(item.toObject()));
    }
    return elements;
}

// The skin key of a key button of the key table; nothing for any other control.
std::optional<QString> KeySkinKey(int controlId) {
    const ScanCode scan = ScanFromButton(controlId);
    if (scan == 0) {
        return std::nullopt;
    }
    return QString::fromStdU16String(KeyButtonSkinKey(scan));
}

Element KeyElement(const QJsonObject& key, QRect rect) {
    Element element;
    element.kind = QStringLiteral("key");
    element.role = QStringLiteral("toggle");
    element.rect = rect;
    element.text = key.value(QLatin1String("t")).toString();
    element.sub = key.value(QLatin1String("b")).toString();
    element.extra = key;
    return element;
}

bool AddKeyboard(const QJsonObject& keyboard, DialogLayout& layout, QString& error) {
    const QJsonArray origin = keyboard.value(QLatin1String("origin")).toArray();
    const double unit = keyboard.value(QLatin1String("unit")).toDouble();
    const int gap = keyboard.value(QLatin1String("gap")).toInt();
    for (const QJsonValue& rowValue : keyboard.value(QLatin1String("rows")).toArray()) {
        const QJsonObject row = rowValue.toObject();
        const double y = origin.at(1).toDouble() + row.value(QLatin1String("y")).toDouble() * unit;
        double cursor = 0;
        for (const QJsonValue& keyValue : row.value(QLatin1String("keys")).toArray()) {
            const QJsonObject key = keyValue.toObject();
            if (!key.contains(QLatin1String("id"))) {
                cursor += key.value(QLatin1String("x")).toDouble();
                continue;
            }
            const double w = key.value(QLatin1String("w")).toDouble(1);
            const double h = key.value(QLatin1String("h")).toDouble(1);
            const QRect rect(qRound(origin.at(0).toDouble() + cursor * unit), qRound(y),
                             qRound(w * unit) - gap, qRound(h * unit) - gap);
            Element element = KeyElement(key, rect);
            const int id = key.value(QLatin1String("id")).toInt();
            const std::optional<QString> skinKey = key.contains(QLatin1String("key"))
                                                       ? key.value(QLatin1String("key")).toString()
                                                       : KeySkinKey(id);
            if (!skinKey) {
                error = QStringLiteral("control %1 is no key button of the key table").arg(id);
                return false;
            }
            element.key = *skinKey;
            layout.buttons.push_back(element);
            cursor += w;
        }
    }
    return true;
}

void AddGKeys(const QJsonObject& gkeys, DialogLayout& layout) {
    const QJsonArray origin = gkeys.value(QLatin1String("origin")).toArray();
    const QJsonArray size = gkeys.value(QLatin1String("size")).toArray();
    const int pitch = gkeys.value(QLatin1String("pitch")).toInt();
    int y = origin.at(1).toInt();
    for (const QJsonValue& value : gkeys.value(QLatin1String("keys")).toArray()) {
        const QJsonObject key = value.toObject();
        Element element = KeyElement(
            key, QRect(origin.at(0).toInt(), y, size.at(0).toInt() - 4, size.at(1).toInt()));
        element.key = key.value(QLatin1String("key")).toString();
        layout.buttons.push_back(element);
        y += pitch;
    }
}

std::vector<std::pair<QString, QString>> PairsOf(const QJsonObject& object,
                                                 const QStringList& order) {
    std::vector<std::pair<QString, QString>> pairs;
    for (const QString& name : order) {
        if (object.contains(name)) {
            pairs.emplace_back(name, object.value(name).toString());
        }
    }
    return pairs;
}

} // namespace

QString DialogLayout::MaskFile() const {
    for (const auto& [name, value] : screen) {
        if (name == QLatin1String("Mask")) {
            return value;
        }
    }
    return {};
}

std::optional<DialogLayout> ReadLayout(const QString& file, QString& error) {
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("cannot read %1").arg(file);
        return std::nullopt;
    }
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(in.readAll(), &parseError);
    if (document.isNull()) {
        error = QStringLiteral("%1: %2").arg(file, parseError.errorString());
        return std::nullopt;
    }
    const QJsonObject root = document.object();
    DialogLayout layout;
    layout.comment = root.value(QLatin1String("comment")).toString();
    layout.iniFile = root.value(QLatin1String("ini")).toString();
    const QJsonArray size = root.value(QLatin1String("size")).toArray();
    layout.size = QSize(size.at(0).toInt(), size.at(1).toInt());
    layout.screen = PairsOf(root.value(QLatin1String("screen")).toObject(),
                            {QStringLiteral("Main"), QStringLiteral("Mask"), QStringLiteral("Link"),
                             QStringLiteral("ChangeMark")});
    const QJsonObject modes = root.value(QLatin1String("modes")).toObject();
    for (int mode = 1; modes.contains(QString::number(mode)); ++mode) {
        layout.modes.emplace_back(QString::number(mode),
                                  modes.value(QString::number(mode)).toString());
    }
    for (const QJsonValue& value : root.value(QLatin1String("pictures")).toArray()) {
        const QJsonObject picture = value.toObject();
        layout.pictures.push_back({picture.value(QLatin1String("file")).toString(),
                                   StateOf(picture.value(QLatin1String("state")).toString()),
                                   picture.value(QLatin1String("page")).toString(),
                                   picture.value(QLatin1String("variant")).toString()});
    }
    layout.decor = ElementsOf(root.value(QLatin1String("decor")));
    layout.buttons = ElementsOf(root.value(QLatin1String("buttons")));
    layout.positions = ElementsOf(root.value(QLatin1String("positions")));
    layout.arrows = root.value(QLatin1String("arrows")).toObject();
    layout.panel = root.value(QLatin1String("panel")).toObject();
    if (root.contains(QLatin1String("gkeys"))) {
        AddGKeys(root.value(QLatin1String("gkeys")).toObject(), layout);
    }
    if (root.contains(QLatin1String("keyboard")) &&
        !AddKeyboard(root.value(QLatin1String("keyboard")).toObject(), layout, error)) {
        return std::nullopt;
    }
    if (layout.size.isEmpty() || layout.iniFile.isEmpty() || layout.pictures.empty()) {
        error = QStringLiteral("%1: size, ini and pictures are required").arg(file);
        return std::nullopt;
    }
    return layout;
}

Look LookFor(const QString& role, PictureState state) {
    // Looks in the order of the pictures: normal, over, down, disable.
    struct RoleLooks {
        const char* role;
        Look looks[4];
    };
    static constexpr RoleLooks kRoles[] = {
        {"toggle", {Look::Normal, Look::Hover, Look::Pressed, Look::Lit}},
        {"command", {Look::Normal, Look::Hover, Look::Pressed, Look::Normal}},
        {"button", {Look::Normal, Look::Hover, Look::Pressed, Look::Disabled}},
        {"tab", {Look::Normal, Look::Hover, Look::Pressed, Look::Disabled}},
        {"link", {Look::Normal, Look::Hover, Look::Pressed, Look::Pressed}},
        {"indicator", {Look::Normal, Look::Lit, Look::Normal, Look::Normal}},
        {"lamp", {Look::Normal, Look::Normal, Look::Normal, Look::Lit}},
    };
    for (const RoleLooks& entry : kRoles) {
        if (role == QLatin1String(entry.role)) {
            return entry.looks[static_cast<int>(state)];
        }
    }
    return Look::Normal; // "plate": the same in every picture
}

} // namespace tavrik::painter
