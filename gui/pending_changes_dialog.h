#pragma once
// "待应用的更改": what the next Apply will write to the keyboard, a line for each key and macro,
// and "全部还原", which makes the live profile what the keyboard holds again (one undo step, so
// the window's undo brings the edits back). A small modeless window on the skin's dark colours;
// it shows what the keyboard editor lists and follows it while open.

#include <QDialog>
#include <QStringList>

class QLabel;
class QListWidget;
class QPushButton;

namespace tavrik {

class PendingChangesDialog : public QDialog {
    Q_OBJECT
public:
    explicit PendingChangesDialog(QWidget* parent);

    void ShowLines(const QStringList& lines);
    QListWidget* List() const { return m_list; }
    QPushButton* RevertAllButton() const { return m_revertAll; }

signals:
    void revertAllRequested();

private:
    QLabel* m_summary = nullptr;
    QListWidget* m_list = nullptr;
    QPushButton* m_revertAll = nullptr;
};

} // namespace tavrik
