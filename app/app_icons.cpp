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

} // namespace tavrik
