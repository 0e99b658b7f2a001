#pragma once
// Undo and redo as the desktop's windows offer them: Ctrl+Z; Ctrl+Shift+Z and Ctrl+Y, as
// actions of one window, so the shortcuts work wherever its focus is and menus can show the same
// actions with the step's name. A line edit would take these keys for its own text undo; where a
// window's undo history already holds the edit's typing as a step, the edit lets them through.

class QAction;
class QWidget;

namespace tavrik {

struct UndoActions {
    QAction* undo = nullptr;
    QAction* redo = nullptr;
};

// Both actions, disabled and owned by `window`, their shortcuts active while it is the active
// window.
UndoActions AddUndoActions(QWidget& window);

// Undo and redo keys typed into `edit` (a line edit, or a widget holding one, such as an
// editable combo box, which hands the keys to its line edit itself) go to its window's actions.
void PassUndoShortcuts(QWidget& edit);

} // namespace tavrik
