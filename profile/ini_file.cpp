#include "profile/ini_file.h"

#include "profile/native_path.h"

#include <QFile>
#include <QSaveFile>
#include <QStringConverter>
#include <QStringList>

#include <algorithm>
#include <optional>

namespace tavrik {

namespace {

struct IniText {
    QStringList lines;
    QString lineEnd = QStringLiteral("\n");
};

QString ToQString(std::u16string_view text) {
    return QString(reinterpret_cast<const QChar*>(text.data()),
                   static_cast<qsizetype>(text.size()));
}

// Reads UTF-8 (the encoding this program writes) or, after a byte order mark, UTF-16.
IniText ReadIniText(const std::filesystem::path& path) {
    IniText text;
    QFile file(ToQtPath(path));
    if (!file.open(QIODevice::ReadOnly))
        return text;
    const QByteArray bytes = file.readAll();
    const auto encoding = QStringConverter::encodingForData(bytes).value_or(QStringConverter::Utf8);
    QStringDecoder decode(encoding);
    QString all = decode(bytes);
    if (all.contains(QStringLiteral("\r\n")))
        text.lineEnd = QStringLiteral("\r\n");
    if (all.endsWith(u'\n'))
        all.chop(1);
    if (all.isEmpty())
        return text;
    text.lines = all.split(u'\n');
    for (QString& line : text.lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
    return text;
}

bool WriteIniText(const std::filesystem::path& path, const IniText& text) {
    QSaveFile file(ToQtPath(path));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QString all = text.lines.join(text.lineEnd);
    all += text.lineEnd;
    const QByteArray bytes = all.toUtf8();
    return file.write(bytes) == bytes.size() && file.commit();
}

// The name of a "[section]" line, if it is one.
std::optional<QString> SectionName(const QString& line) {
    const QString trimmed = line.trimmed();
    if (!trimmed.startsWith(u'['))
        return std::nullopt;
    const qsizetype close = trimmed.indexOf(u']');
    const qsizetype end = close < 0 ? trimmed.size() : close;
    return trimmed.mid(1, end - 1).trimmed();
}

struct KeyLine {
    QString key;
    QString value;
};

std::optional<KeyLine> ParseKeyLine(const QString& line) {
    const qsizetype equals = line.indexOf(u'=');
    if (equals < 0)
        return std::nullopt;
    return KeyLine{line.left(equals).trimmed(), line.mid(equals + 1).trimmed()};
}

bool SameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

qsizetype FindSection(const QStringList& lines, const QString& section) {
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const auto name = SectionName(lines[i]);
        if (name && SameName(*name, section))
            return i;
    }
    return -1;
}

qsizetype SectionEnd(const QStringList& lines, qsizetype sectionLine) {
    qsizetype i = sectionLine + 1;
    while (i < lines.size() && !SectionName(lines[i]))
        ++i;
    return i;
}

std::optional<qsizetype> FindKey(const QStringList& lines, qsizetype sectionLine,
                                 const QString& key) {
    const qsizetype end = SectionEnd(lines, sectionLine);
    for (qsizetype i = sectionLine + 1; i < end; ++i) {
        const auto parsed = ParseKeyLine(lines[i]);
        if (parsed && SameName(parsed->key, key))
            return i;
    }
    return std::nullopt;
}

QString Unquoted(const QString& value) {
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front())
        return value.mid(1, value.size() - 2);
    return value;
}

} // namespace

IniFile::IniFile(std::filesystem::path path)
    : path_(std::move(path)) {}

std::u16string IniFile::Read(std::u16string_view section, std::u16string_view key,
                             std::u16string_view fallback) const {
    const IniText text = ReadIniText(path_);
    const qsizetype sectionLine = FindSection(text.lines, ToQString(section));
    QString value = ToQString(fallback);
    if (sectionLine >= 0) {
        if (const auto keyLine = FindKey(text.lines, sectionLine, ToQString(key)))
            value = Unquoted(ParseKeyLine(text.lines[*keyLine])->value);
    }
    value.truncate(kIniValueCapacity - 1);
    return value.toStdU16String();
}

bool IniFile::Write(std::u16string_view section, std::u16string_view key,
                    std::u16string_view value) const {
    IniText text = ReadIniText(path_);
    const QString keyName = ToQString(key);
    const QString line = keyName + u'=' + ToQString(value);
    const qsizetype sectionLine = FindSection(text.lines, ToQString(section));
    if (sectionLine < 0) {
        if (!text.lines.isEmpty() && !text.lines.back().trimmed().isEmpty())
            text.lines.append(QString());
        text.lines.append(u'[' + ToQString(section) + u']');
        text.lines.append(line);
    } else if (const auto keyLine = FindKey(text.lines, sectionLine, keyName)) {
        text.lines[*keyLine] = line;
    } else {
        qsizetype insertAt = SectionEnd(text.lines, sectionLine);
        while (insertAt > sectionLine + 1 && text.lines[insertAt - 1].trimmed().isEmpty())
            --insertAt;
        text.lines.insert(insertAt, line);
    }
    return WriteIniText(path_, text);
}

} // namespace tavrik
