#include "app/app_icons.h"

#include <QFileInfo>

namespace tavrik {

QIcon LoadAppIcon(const std::filesystem::path& iconFolder, int iconId) {
    static constexpr int kSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};
    QIcon icon;
    for (int size : kSizes) {
        const QString file = QString::fromStdString(iconFolder.string()) +
                             QStringLiteral("/%1-%2.png").arg(iconId).arg(size);
        if (QFileInfo::exists(file)) {
            icon.addFile(file, QSize(size, size));
        }
    }
    return icon;
}

AppIconSet::AppIconSet(std::filesystem::path iconFolder)
    : m_iconFolder(std::move(iconFolder)) {}

const QIcon& AppIconSet::Icon(int iconId) {
    const auto found = m_icons.find(iconId);
    if (found != m_icons.end()) {
        return found->second;
    }
    return m_icons.emplace(iconId, LoadAppIcon(m_iconFolder, iconId)).first->second;
}

} // namespace tavrik
