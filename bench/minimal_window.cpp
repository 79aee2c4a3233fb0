// The yardstick of the start-up benchmark: a Qt Widgets program that shows one empty main window.

#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Minimal"));
    window.resize(1060, 760);
    window.show();
    return app.exec();
}
