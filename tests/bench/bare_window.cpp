// A bare Qt window: the yardstick of the program's start-up. It reports its first paint the way
// the program does with KVT_REPORT_FIRST_PAINT set, and ends.
#include "app/FirstPaint.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(800, 600);
    window.show();
    kvt::reportFirstPaint(&window);
    return QApplication::exec();
}
