#include "app/about_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tavrik {

CAboutDlg::CAboutDlg(const QIcon& icon, const QString& link, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("关于"));
    setWindowIcon(icon);
    auto* iconLabel = new QLabel(this);
    iconLabel->setPixmap(icon.pixmap(48, 48));
    auto* name = new QLabel(QStringLiteral("游戏键盘驱动 V1.0"), this);
    auto* hyperlink = new QLabel(
        QStringLiteral("<a href=\"%1\">%2</a>").arg(link.toHtmlEscaped(), link.toHtmlEscaped()),
        this);
    hyperlink->setOpenExternalLinks(true);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* texts = new QVBoxLayout;
    texts->addWidget(name);
    texts->addWidget(hyperlink);
    auto* row = new QHBoxLayout;
    row->addWidget(iconLabel, 0, Qt::AlignTop);
    row->addLayout(texts, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
}

} // namespace tavrik
