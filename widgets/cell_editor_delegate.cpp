#include "widgets/cell_editor_delegate.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRegularExpressionValidator>

namespace tavrik {

CellEditorDelegate::CellEditorDelegate(std::map<int, Column> columns, Commit commit,
                                       Opening opening, QObject* parent)
    : QStyledItemDelegate(parent)
    , m_columns(std::move(columns))
    , m_commit(std::move(commit))
    , m_opening(std::move(opening)) {}

QWidget* CellEditorDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                          const QModelIndex& index) const {
    const auto column = m_columns.find(index.column());
    if (column == m_columns.end())
        return nullptr;
    m_opening(index.row(), index.column());
    if (!column->second.choices.isEmpty())
        return ChoiceEditor(parent, column->second);
    auto* digits = new QLineEdit(parent);
    digits->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), digits));
    return digits;
}

QWidget* CellEditorDelegate::ChoiceEditor(QWidget* parent, const Column& column) const {
    auto* list = new QComboBox(parent);
    list->addItems(column.choices);
    list->setMaxVisibleItems(column.visibleChoices);
    // Picking a choice is the whole edit.
    auto* self = const_cast<CellEditorDelegate*>(this);
    connect(list, &QComboBox::activated, self, [self, list] {
        emit self->commitData(list);
        emit self->closeEditor(list);
    });
    return list;
}

void CellEditorDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    if (auto* list = qobject_cast<QComboBox*>(editor))
        list->setCurrentIndex(index.data(Qt::UserRole).toInt());
    else if (auto* digits = qobject_cast<QLineEdit*>(editor))
        digits->setText(index.data(Qt::DisplayRole).toString());
}

void CellEditorDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                      const QModelIndex& index) const {
    if (auto* list = qobject_cast<QComboBox*>(editor)) {
        const int choice = list->currentIndex();
        model->setData(index, m_commit(index.row(), index.column(), choice, QString()));
        model->setData(index, choice, Qt::UserRole);
    } else if (auto* digits = qobject_cast<QLineEdit*>(editor)) {
        model->setData(index, m_commit(index.row(), index.column(), -1, digits->text()));
    }
}

} // namespace tavrik
