#pragma once
// CAboutDlg: the modeless about box: the program's icon, its name and version, and the skin's
// link.

#include <QDialog>

namespace tavrik {

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    CAboutDlg(const QIcon& icon, const QString& link, QWidget* parent = nullptr);
};

} // namespace tavrik
