// SPDX-License-Identifier: GPL-3.0-or-later
// Builds against the rig from outside the project: constructs the application, switches the
// language and reads a page caption.

#include "AppRig.h"

#include <QApplication>
#include <QTest>

class RigConsumer : public QObject {
    Q_OBJECT

private slots:
    void switchesLanguage() {
        rig::AppRig rig;
        QCOMPARE(rig.text("TabSheet4"), QStringLiteral("Sterowanie"));
        QVERIFY(rig.setLanguage(1));
        QCOMPARE(rig.text("TabSheet4"), QStringLiteral("Control"));
    }

    void connectsASimulatedController() {
        rig::AppRig rig;
        rig.plugController("KVT318");
        rig.settle();
        // The identity answer completes the status line with the version and the device text.
        QCOMPARE(rig.text("TextStatus"), QStringLiteral("Połączono z KVT318 ver. 2,04 [SIM]"));
        rig.inject(QByteArray(1, char(151)));
        rig.settle();
        QCOMPARE(rig.statusPanel(0), QStringLiteral("Napęd włączony"));
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
    RigConsumer test;
    return QTest::qExec(&test, argc, argv);
}

#include "rig_consumer.moc"
