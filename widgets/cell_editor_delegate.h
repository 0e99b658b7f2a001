#pragma once
// In-place editors for the cells of a list, by column: a drop-down list of fixed choices or a
// digits-only edit box. The delegate never decides what a cell holds: it hands the choice or
// the digits typed to its owner, who answers with the text the cell shows afterwards. A choice
// cell's current choice is its Qt::UserRole value. A choice takes effect as soon as it is
// picked.

#include <QStringList>
#include <QStyledItemDelegate>

#include <functional>
#include <map>

namespace tavrik {

class CellEditorDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    struct Column {
        QStringList choices{}; // empty: a digits-only edit box
        int visibleChoices = 10;
    };
    // An edit completed: the row and column, the choice picked (-1 in a digits cell) and the
    // digits typed; returns the cell's text.
    using Commit = std::function<QString(int row, int column, int choice, const QString& digits)>;
    // An editor is about to open on a cell.
    using Opening = std::function<void(int row, int column)>;

    // Columns missing from `columns` are not edited in place.
    CellEditorDelegate(std::map<int, Column> columns, Commit commit, Opening opening,
                       QObject* parent = nullptr);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

private:
    QWidget* ChoiceEditor(QWidget* parent, const Column& column) const;

    std::map<int, Column> m_columns;
    Commit m_commit;
    Opening m_opening;
};

} // namespace tavrik
