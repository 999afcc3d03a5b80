// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the program's icon as PNG files for the desktop, one per size, into the hicolor layout:
// make_icons DIR gives DIR/16x16/apps/kvt-revizareduva.png and so on. Run when packaging.

#include "app/Artwork.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: make_icons DIR\n", stderr);
        return 2;
    }
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1])).arg(size);
        if (!QDir().mkpath(dir) ||
            !kvt::artwork::applicationIcon(size).save(dir + QStringLiteral("/kvt-revizareduva.png"), "PNG")) {
            std::fprintf(stderr, "make_icons: cannot write into %s\n", qPrintable(dir));
            return 1;
        }
    }
    return 0;
}
