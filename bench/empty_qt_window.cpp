// The least a Qt Widgets program does before its window is on screen: the reference for the
// program's start-up, measured the same way from outside.
//
//   empty_qt_window
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Empty"));
    window.resize(640, 480);
    window.show();
    return app.exec();
}
