#pragma once
// File names cross into QtCore and into user-facing texts here. Linux file names are bytes;
// they are decoded with the locale's file name encoding, as the rest of the desktop does.

#include <QString>

#include <filesystem>
#include <string>
#include <string_view>

namespace tavrik {

QString ToQtPath(const std::filesystem::path& path);
std::filesystem::path FromQtPath(const QString& path);

// The path as a UTF-16 text of the system (messages, list rows).
std::u16string PathText(const std::filesystem::path& path);
std::filesystem::path PathFromText(std::u16string_view text);

} // namespace tavrik
