#include "gui/pending_changes_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace tavrik {
namespace {

constexpr int kWidth = 360;
constexpr int kHeight = 200;

// The skin's dark face and its violet mark colour, as the assignment dialog's lists have them.
const QString kStyle = QStringLiteral(
    "QDialog { background: #171a20; }"
    "QLabel { color: #e6e9ef; }"
    "QListWidget { background: #101216; color: #e6e9ef; border: 1px solid #353a46; }"
    "QListWidget::item { padding: 3px 6px; border-left: 3px solid #8b5cf6; margin: 1px 0; }"
    "QPushButton { background: #252932; color: #e6e9ef; border: 1px solid #353a46;"
    " border-radius: 4px; padding: 5px 14px; }"
    "QPushButton:hover { border-color: #22d3ee; }"
    "QPushButton:disabled { color: #5b616e; }");

} // namespace

PendingChangesDialog::PendingChangesDialog(QWidget* parent)
    : QDialog(parent)
    , m_summary(new QLabel(this))
    , m_list(new QListWidget(this)) {
    setWindowTitle(QStringLiteral("待应用的更改"));
    setStyleSheet(kStyle);
    resize(kWidth, kHeight);
    m_list->setAccessibleName(QStringLiteral("待应用的更改"));
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    m_list->setFocusPolicy(Qt::NoFocus);
    auto* buttons = new QDialogButtonBox(this);
    m_revertAll = buttons->addButton(QStringLiteral("全部还原"), QDialogButtonBox::ResetRole);
    QPushButton* close = buttons->addButton(QStringLiteral("关闭"), QDialogButtonBox::RejectRole);
    connect(m_revertAll, &QPushButton::clicked, this, &PendingChangesDialog::revertAllRequested);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_summary);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    ShowLines({});
}

void PendingChangesDialog::ShowLines(const QStringList& lines) {
    m_summary->setText(lines.isEmpty() ? QStringLiteral("键盘上的设定与这里的设定相同。")
                                       : QStringLiteral("应用时将写入键盘的更改:"));
    m_list->clear();
    m_list->addItems(lines);
    m_revertAll->setEnabled(!lines.isEmpty());
}

} // namespace tavrik
