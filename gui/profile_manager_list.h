#pragma once
// The profile manager's list (control 1007): one row per profile with a check box in "激活"
// (the row Apply selects on the keyboard), the file's name in "名称" and its folder in "路径".
// A row whose file is missing, unreadable or not a profile file says why, in its folder cell,
// in its tooltip and with a warning look. The rows come from ProfileManagerModel; this list
// holds no state of its own.

#include "profile/profile_manager_model.h"

#include <QString>
#include <QTableWidget>

#include <vector>

namespace tavrik {

inline constexpr int kActiveColumn = 0;
inline constexpr int kNameColumn = 1;
inline constexpr int kPathColumn = 2;

class ProfileManagerList : public QTableWidget {
    Q_OBJECT
public:
    explicit ProfileManagerList(QWidget* parent);

    // Shows the rows, keeping the cells that are already there.
    void ShowRows(const std::vector<ProfileRow>& rows);
    // The first selected row, if any.
    std::optional<size_t> SelectedRow() const;

signals:
    // A click in a row's "激活" cell, or the space bar on a row: the user turns its check.
    void checkToggled(size_t row);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QTableWidgetItem& Cell(int row, int column);
};

// What the list says about a row's file; empty when there is nothing to say.
QString FileStateText(ProfileFileState state);

} // namespace tavrik
