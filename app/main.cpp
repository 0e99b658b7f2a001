#include "app/main_window.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    tavrik::MainWindow window;
    window.show();
    return app.exec();
}
