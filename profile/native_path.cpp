#include "profile/native_path.h"

#include <QFile>

namespace tavrik {

QString ToQtPath(const std::filesystem::path& path) {
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
}

std::filesystem::path FromQtPath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

std::u16string PathText(const std::filesystem::path& path) {
    return ToQtPath(path).toStdU16String();
}

std::filesystem::path PathFromText(std::u16string_view text) {
    return FromQtPath(QString::fromStdU16String(std::u16string(text)));
}

} // namespace tavrik
