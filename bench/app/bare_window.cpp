// The floor for start-up measurements: a bare Qt Widgets program showing one empty window.
#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <cstdlib>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(575, 264);
    window.show();
    if (std::getenv("STROVANE_QUIT_AFTER_SHOW"))
        QTimer::singleShot(0, &app, [] { QApplication::quit(); });
    return app.exec();
}
