// SPDX-License-Identifier: GPL-3.0-or-later
// A bare Qt window: the yardstick of the program's start-up. It shows one line of text, as any
// window with text has Qt load its fonts (the font database and the first font engine cost a
// bare window more than all else); with --empty it shows nothing at all. It reports its first
// paint the way the program does with KVT_REPORT_FIRST_PAINT set, and ends.
#include "app/FirstPaint.h"

#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>
#include <cstring>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(800, 600);
    if (argc < 2 || std::strcmp(argv[1], "--empty") != 0)
        (new QVBoxLayout(&window))->addWidget(new QLabel(QStringLiteral("Qt"), &window));
    window.show();
    kvt::reportFirstPaint(&window);
    return QApplication::exec();
}
