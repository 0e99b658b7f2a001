#include "widgets/undo_shortcuts.h"

#include <QAction>
#include <QKeyEvent>
#include <QWidget>

#include <algorithm>
#include <array>

namespace tavrik {
namespace {

const std::array<QKeySequence, 1> kUndoKeys{QKeySequence(Qt::CTRL | Qt::Key_Z)};
const std::array<QKeySequence, 2> kRedoKeys{QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                                            QKeySequence(Qt::CTRL | Qt::Key_Y)};

bool IsUndoKey(const QKeyEvent& key) {
    const QKeySequence pressed(key.keyCombination());
    const auto same = [&pressed](const QKeySequence& sequence) { return sequence == pressed; };
    return std::ranges::any_of(kUndoKeys, same) || std::ranges::any_of(kRedoKeys, same);
}

// Declines the shortcut override a line edit would take for undo and redo keys.
class UndoKeysThrough final : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ShortcutOverride &&
            IsUndoKey(*static_cast<QKeyEvent*>(event))) {
            event->ignore();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

UndoActions AddUndoActions(QWidget& window) {
    UndoActions actions{new QAction(&window), new QAction(&window)};
    actions.undo->setShortcuts({kUndoKeys.begin(), kUndoKeys.end()});
    actions.redo->setShortcuts({kRedoKeys.begin(), kRedoKeys.end()});
    for (QAction* action : {actions.undo, actions.redo}) {
        action->setShortcutContext(Qt::WindowShortcut);
        action->setEnabled(false);
        window.addAction(action);
    }
    return actions;
}

void PassUndoShortcuts(QWidget& edit) {
    edit.installEventFilter(new UndoKeysThrough(&edit));
}

} // namespace tavrik
