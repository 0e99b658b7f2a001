#pragma once
// The macro tab's action list: one row per action of the shown macro (key, direction, pause),
// shown from the MacroEditor model, which decides every edit. A cell of the selected row is
// edited in place when clicked: the key from the macro editor's key list, the direction, or the
// pause as digits.

#include "macro/macro_editor.h"

#include <QObject>

class QTableWidget;
class QWidget;

namespace tavrik {

class MacroActionList : public QObject {
    Q_OBJECT
public:
    explicit MacroActionList(QWidget& dialog);

    QTableWidget* Widget() const { return m_table; }
    // The model the list shows and edits; none while the dialog is closed (an edit in progress
    // is dropped then).
    void Bind(MacroEditor* editor);
    // Shows the model's rows and selected row afresh.
    void ShowRows();

signals:
    // A cell edit changed the model.
    void edited();
    // A pause cell is about to be edited (recording stops first).
    void pauseEditStarting();

private:
    QString CommitCell(int row, int column, int choice, const QString& digits);
    static QString CellText(const MacroAction& action, int column);
    void SelectionChanged();

    QTableWidget* m_table = nullptr;
    MacroEditor* m_editor = nullptr;
};

} // namespace tavrik
