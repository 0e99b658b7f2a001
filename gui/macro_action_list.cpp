#include "gui/macro_action_list.h"

#include "macro/macro_texts.h"
#include "widgets/cell_editor_delegate.h"

#include <QHeaderView>
#include <QSignalBlocker>
#include <QTableWidget>

namespace tavrik {
namespace {

enum Column { kKeyColumn = 0, kDirectionColumn = 1, kPauseColumn = 2 };
constexpr int kKeyColumnWidth = 70;
constexpr int kDirectionColumnWidth = 39;
constexpr int kVisibleKeyChoices = 20;
// The key and direction columns are drawn in grey text, the pauses in the list's own colour.
constexpr QRgb kGreyText = 0x8A919E;

QString Text(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

QString DirectionText(KeyDirection direction) {
    return Text(direction == KeyDirection::Press ? macro_text::kPress : macro_text::kRelease);
}

QString KeyText(ScanCode key) {
    return QString::fromStdU16String(KeyNameFromScan(key));
}

QStringList KeyChoices() {
    QStringList names;
    for (KeyCode code = 0; code < kMacroListKeyCodes; ++code)
        names << QString::fromStdU16String(KeyNameFromCode(code));
    return names;
}

QList<QTableWidgetItem*> RowItems(const MacroAction& action, const QColor& grey) {
    auto* key = new QTableWidgetItem(KeyText(action.key));
    const KeyCode code = KeyCodeFromScan(action.key);
    key->setData(Qt::UserRole, code < kMacroListKeyCodes ? int{code} : -1);
    auto* direction = new QTableWidgetItem(DirectionText(action.direction));
    direction->setData(Qt::UserRole, static_cast<int>(action.direction));
    key->setForeground(grey);
    direction->setForeground(grey);
    return {key, direction, new QTableWidgetItem(QString::number(action.delayMs))};
}

} // namespace

MacroActionList::MacroActionList(QWidget& dialog)
    : QObject(&dialog)
    , m_table(new QTableWidget(0, 3, &dialog)) {
    m_table->setHorizontalHeaderLabels({Text(macro_text::kKeyColumn),
                                        Text(macro_text::kDirectionColumn),
                                        Text(macro_text::kDelayColumn)});
    m_table->verticalHeader()->hide();
    m_table->setShowGrid(true);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::SelectedClicked |
                             QAbstractItemView::EditKeyPressed);
    m_table->horizontalHeader()->resizeSection(kKeyColumn, kKeyColumnWidth);
    m_table->horizontalHeader()->resizeSection(kDirectionColumn, kDirectionColumnWidth);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setAccessibleName(QStringLiteral("宏动作"));
    const std::map<int, CellEditorDelegate::Column> columns{
        {kKeyColumn, {KeyChoices(), kVisibleKeyChoices}},
        {kDirectionColumn,
         {{DirectionText(KeyDirection::Press), DirectionText(KeyDirection::Release)}}},
        {kPauseColumn, {}},
    };
    m_table->setItemDelegate(new CellEditorDelegate(
        columns,
        [this](int row, int column, int choice, const QString& digits) {
            return CommitCell(row, column, choice, digits);
        },
        [this](int, int column) {
            if (column == kPauseColumn)
                emit pauseEditStarting();
        },
        m_table));
    connect(m_table, &QTableWidget::itemSelectionChanged, this, &MacroActionList::SelectionChanged);
}

void MacroActionList::Bind(MacroEditor* editor) {
    if (editor == nullptr)
        m_table->reset(); // closes an open cell editor without committing it
    m_editor = editor;
}

void MacroActionList::ShowRows() {
    const QSignalBlocker blocker(m_table);
    const QColor grey = QColor::fromRgb(kGreyText);
    const std::vector<MacroAction>& rows = m_editor->Rows();
    m_table->setRowCount(static_cast<int>(rows.size()));
    for (size_t row = 0; row < rows.size(); ++row) {
        const QList<QTableWidgetItem*> items = RowItems(rows[row], grey);
        for (int column = 0; column < items.size(); ++column)
            m_table->setItem(static_cast<int>(row), column, items[column]);
    }
    m_table->clearSelection();
    if (const std::optional<size_t> selected = m_editor->SelectedRow()) {
        m_table->selectRow(static_cast<int>(*selected));
        m_table->scrollToItem(m_table->item(static_cast<int>(*selected), kKeyColumn));
    }
}

QString MacroActionList::CommitCell(int row, int column, int choice, const QString& digits) {
    const auto index = static_cast<size_t>(row);
    if (m_editor == nullptr || index >= m_editor->Rows().size())
        return m_table->item(row, column)->text();
    const MacroAction before = m_editor->Rows().at(index);
    switch (column) {
    case kKeyColumn:
        if (choice >= 0)
            m_editor->SetRowKeyCode(index, static_cast<KeyCode>(choice));
        break;
    case kDirectionColumn:
        m_editor->SetRowDirection(index, choice == 1 ? KeyDirection::Release : KeyDirection::Press);
        break;
    default:
        m_editor->SetRowDelayText(index, digits.toStdU16String());
        break;
    }
    // A pause typed anew counts as changed even when it comes out the same.
    if (column == kPauseColumn || m_editor->Rows().at(index) != before)
        emit edited();
    return CellText(m_editor->Rows().at(index), column);
}

QString MacroActionList::CellText(const MacroAction& action, int column) {
    switch (column) {
    case kKeyColumn:
        return KeyText(action.key);
    case kDirectionColumn:
        return DirectionText(action.direction);
    default:
        return QString::number(action.delayMs);
    }
}

void MacroActionList::SelectionChanged() {
    if (m_editor == nullptr)
        return;
    const QList<QTableWidgetSelectionRange> ranges = m_table->selectedRanges();
    m_editor->SelectRow(ranges.isEmpty() ? std::nullopt
                                         : std::optional<size_t>(ranges.first().topRow()));
}

} // namespace tavrik
