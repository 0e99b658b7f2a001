#pragma once

#include <QWidget>

namespace tavrik {

// The program's main window.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
};

} // namespace tavrik
