#include "gui/profile_manager_list.h"

#include "profile/native_path.h"
#include "profile/profile_messages.h"

#include <QHeaderView>
#include <QKeyEvent>

namespace tavrik {
namespace {

constexpr int kColumnWidths[] = {60, 120, 230};
const QColor kWarningColour(0xf5, 0x9e, 0x0b);

QString Text(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

QString FileStateText(ProfileFileState state) {
    switch (state) {
    case ProfileFileState::Missing:
        return Text(profile_text::kFileMissing);
    case ProfileFileState::Damaged:
        return Text(profile_text::kFileDamaged);
    case ProfileFileState::Unreadable:
        return Text(profile_text::kFileUnreadable);
    default:
        return {};
    }
}

ProfileManagerList::ProfileManagerList(QWidget* parent)
    : QTableWidget(0, std::size(kColumnWidths), parent) {
    setHorizontalHeaderLabels(
        {QStringLiteral("激活"), QStringLiteral("名称"), QStringLiteral("路径")});
    for (int column = 0; column < columnCount(); ++column) {
        horizontalHeaderItem(column)->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        horizontalHeader()->resizeSection(column, kColumnWidths[column]);
    }
    horizontalHeader()->setStretchLastSection(false);
    verticalHeader()->hide();
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    setWordWrap(false);
    setTextElideMode(Qt::ElideMiddle);
    setAccessibleName(QStringLiteral("情景模式列表"));
    connect(this, &QTableWidget::cellClicked, this, [this](int row, int column) {
        if (column == kActiveColumn)
            emit checkToggled(static_cast<size_t>(row));
    });
}

QTableWidgetItem& ProfileManagerList::Cell(int row, int column) {
    QTableWidgetItem* cell = item(row, column);
    if (cell == nullptr) {
        cell = new QTableWidgetItem;
        cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        setItem(row, column, cell);
    }
    return *cell;
}

void ProfileManagerList::ShowRows(const std::vector<ProfileRow>& rows) {
    setRowCount(static_cast<int>(rows.size()));
    for (int row = 0; row < rowCount(); ++row) {
        const ProfileRow& shown = rows[static_cast<size_t>(row)];
        const QString problem = FileStateText(shown.fileState);
        const QString folder = Text(shown.folder);
        // The box is drawn from the row's state; clicks reach the model through checkToggled.
        Cell(row, kActiveColumn)
            .setData(Qt::CheckStateRole, shown.checked ? Qt::Checked : Qt::Unchecked);
        Cell(row, kNameColumn).setText(Text(shown.name));
        Cell(row, kPathColumn)
            .setText(problem.isEmpty() ? folder : QStringLiteral("[%1] %2").arg(problem, folder));
        const QString tooltip = problem.isEmpty()
                                    ? QString()
                                    : QStringLiteral("%1: %2").arg(problem, ToQtPath(shown.file));
        for (int column = 0; column < columnCount(); ++column) {
            QTableWidgetItem& cell = Cell(row, column);
            cell.setToolTip(tooltip);
            cell.setData(Qt::ForegroundRole, problem.isEmpty() ? QVariant() : kWarningColour);
        }
    }
}

std::optional<size_t> ProfileManagerList::SelectedRow() const {
    const QList<QTableWidgetSelectionRange> ranges = selectedRanges();
    if (ranges.isEmpty())
        return std::nullopt;
    return static_cast<size_t>(ranges.first().topRow());
}

void ProfileManagerList::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && currentRow() >= 0) {
        emit checkToggled(static_cast<size_t>(currentRow()));
        return;
    }
    QTableWidget::keyPressEvent(event);
}

} // namespace tavrik
