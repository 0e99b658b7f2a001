#include "app/main_window.h"

#include <QLabel>
#include <QVBoxLayout>

namespace tavrik {

MainWindow::MainWindow(QWidget* parent)
    : QWidget(parent) {
    setWindowTitle(QStringLiteral("VOLTRI VX60 Driver"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("VOLTRI VX60 Driver"), this));
    resize(480, 240);
}

} // namespace tavrik
