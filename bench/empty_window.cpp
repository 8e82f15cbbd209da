// The yardstick for start-up: an empty Qt window of FARLOUS's size, and nothing else.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QWidget window;
    window.setFixedSize(624, 189);
    window.show();
    return QApplication::exec();
}
