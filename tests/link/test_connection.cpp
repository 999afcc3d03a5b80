// SPDX-License-Identifier: GPL-3.0-or-later
// Connection behaviour of the main window against the simulated HID backend: which devices are
// listed and connected, what is shown, and what is sent on connection.

#include "RigTest.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "assist/Colors.h"
#include "link/Transport.h"
#include "shell/AppState.h"
#include "shell/Poller.h"

#include <QTimer>

using namespace testing;

class ConnectionTest : public QObject {
    Q_OBJECT

    bool polling(rig::AppRig& rig) { return qobject_cast<QTimer*>(rig.object("DataTimer"))->isActive(); }

    void verifyDisconnected(rig::AppRig& rig) {
        QCOMPARE(rig.statusPanel(1), QStringLiteral("Rozłączony"));
        QCOMPARE(rig.text("TextStatus"), QStringLiteral("Brak urządzenia"));
        QCOMPARE(rig.background("TextStatus"), kvt::colors::Error);
        QCOMPARE(rig.program().mainWindow->state().connectedFlag(), quint8(0));
        QVERIFY(!polling(rig));
    }

private slots:
    void startsWithNoDeviceAndNotConnected() {
        rig::AppRig rig;
        verifyDisconnected(rig);
        QVERIFY(rig.items("ListBox1").isEmpty());
        QVERIFY(!rig.visible("ListBox1"));
        QVERIFY(rig.written().isEmpty());
    }

    void controllerConnectsAndIsAskedForIdentityAndConfiguration() {
        rig::AppRig rig;
        const int id = rig.plugController("KVT318");
        rig.settle();
        QVERIFY(rig.text("TextStatus")
                    .startsWith(QStringLiteral("Połączono z KVT318 ver. "))); // completed by the identity
        QCOMPARE(rig.statusPanel(1), QStringLiteral("Połączony z KVT318"));
        QCOMPARE(rig.background("TextStatus"), kvt::colors::Connected);
        QCOMPARE(rig.items("ListBox1"), QStringList{"KVT318"});
        QVERIFY(polling(rig));
        const QList<QByteArray> sent = rig.writtenTo(id);
        QVERIFY(sent.size() >= 2);
        QCOMPARE(command(sent[0]), bytes({100}));
        QCOMPARE(command(sent[1]), bytes({99}));
        QCOMPARE(rig.program().mainWindow->state().modelName(), QStringLiteral("KVT318"));
    }

    void pollSendsWhatTheShownPageAsksFor() {
        rig::AppRig rig;
        rig.plugController("KVT317");
        rig.settle();
        QTimer* timer = rig.program().mainWindow->pollTimer();
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 200);
        // One poll is made by hand per page; the periodic one would add its own when a page's
        // first showing (its first layout and paint) is slow, as under the sanitizers.
        timer->stop();
        const QList<QList<int>> expected = {{97}, {}, {}, {31}, {}};
        for (int page = 0; page < 5; ++page) {
            QVERIFY(rig.showPage(page));
            rig.settle();
            rig.clearWritten();
            rig.program().mainWindow->poller().poll();
            rig.settle();
            QCOMPARE(codes(rig.written()), expected[page]);
        }
    }

    // A flapping unrelated device (a bad cable) re-runs the connection on every change; the
    // controller is greeted again each time, but the poll keeps its rhythm.
    void deviceChangesThatKeepTheControllerDoNotRestartThePoll() {
        rig::AppRig rig;
        const int id = rig.plugController("KVT318");
        rig.settle();
        QTimer* timer = rig.program().mainWindow->pollTimer();
        const int running = timer->timerId();
        QVERIFY(running > 0);
        rig.clearWritten();
        for (int i = 0; i < 10; ++i) {
            const int mouse = rig.plugDevice("Mouse");
            rig.settle();
            rig.unplug(mouse);
            rig.settle();
        }
        QCOMPARE(timer->timerId(), running); // never stopped and started again
        QCOMPARE(int(codes(rig.writtenTo(id)).count(100)), 20);
    }

    void unsupportedProductStringsAreListedButNotConnected() {
        rig::AppRig rig;
        rig.plugDevice("", 0x04d8, 0x003f);
        rig.plugDevice("kvt318");
        rig.plugDevice("KVT318 ");
        rig.settle();
        QCOMPARE(rig.items("ListBox1"), (QStringList{"Device VID=04D8 PID=003F", "kvt318", "KVT318 "}));
        verifyDisconnected(rig);
        QVERIFY(rig.written().isEmpty());
    }

    void controllerWithoutAccessConnectsWhenAccessArrives() {
        rig::AppRig rig;
        const int id = rig.plugController("PXA-KVT");
        rig.setAccess(id, false);
        rig.settle();
        QCOMPARE(rig.items("ListBox1"), QStringList{"PXA-KVT"});
        verifyDisconnected(rig);
        rig.setAccess(id, true);
        rig.settle();
        QVERIFY(rig.text("TextStatus")
                    .startsWith(QStringLiteral("Połączono z PXA-KVT ver. "))); // completed by the identity
        QCOMPARE(codes(rig.writtenTo(id)).mid(0, 2), (QList<int>{100, 99}));
    }

    void unrelatedDeviceCausesReconnection() {
        rig::AppRig rig;
        const int id = rig.plugController("KVT318");
        rig.settle();
        rig.showPage(1); // nothing polled: only the reconnection writes
        rig.settle();
        rig.clearWritten();
        rig.plugDevice("Keyboard");
        rig.settle();
        QCOMPARE(codes(rig.writtenTo(id)), (QList<int>{100, 99}));
        QCOMPARE(rig.items("ListBox1"), (QStringList{"KVT318", "Keyboard"}));
    }

    void unplugShowsDisconnectedAndStopsPolling() {
        rig::AppRig rig;
        const int id = rig.plugController("KVT318");
        rig.settle(300);
        rig.unplug(id);
        rig.settle();
        verifyDisconnected(rig);
        rig.clearWritten();
        rig.settle(500);
        QVERIFY(rig.written().isEmpty());
        // A quick replug (the path may be reused) connects again.
        rig.replug(id);
        rig.settle();
        QVERIFY(rig.text("TextStatus")
                    .startsWith(QStringLiteral("Połączono z KVT318 ver. "))); // completed by the identity
    }

    void onlyTheLastOfTwoControllersIsHandled() {
        rig::AppRig rig;
        const int first = rig.plugController("KVT318");
        const int second = rig.plugController("KVT317");
        rig.settle();
        QVERIFY(rig.text("TextStatus")
                    .startsWith(QStringLiteral("Połączono z KVT317 ver. "))); // completed by the identity
        // Both were greeted in list order, but commands now go to the second only.
        QCOMPARE(codes(rig.writtenTo(first)).mid(0, 2), (QList<int>{100, 99}));
        rig.clearWritten();
        rig.click("btn_Reconnect");
        rig.settle();
        QVERIFY(rig.writtenTo(first).isEmpty());
        QCOMPARE(codes(rig.writtenTo(second)), (QList<int>{100, 99}));
        // Reports of the first controller no longer reach the screen.
        rig.inject(bytes({151}), first);
        rig.settle();
        QVERIFY(rig.statusPanel(0) != QStringLiteral("Napęd włączony"));
        rig.inject(bytes({151}), second);
        rig.settle();
        QCOMPARE(rig.statusPanel(0), QStringLiteral("Napęd włączony"));
    }

    void lastControllerWithoutAccessLeavesNotConnected() {
        rig::AppRig rig;
        rig.plugController("KVT318");
        const int second = rig.plugController("KVT317");
        rig.setAccess(second, false);
        rig.settle();
        verifyDisconnected(rig);
    }

    void connectionTextSurvivesLanguageSwitch() {
        rig::AppRig rig;
        rig.plugController("KVT318");
        rig.settle();
        QVERIFY(rig.setLanguage(1));
        QVERIFY(rig.text("TextStatus")
                    .startsWith(QStringLiteral("Połączono z KVT318 ver. "))); // completed by the identity
        rig.unplug();
        rig.settle();
        QCOMPARE(rig.text("TextStatus"), QStringLiteral("No device"));
        QCOMPARE(rig.statusPanel(1), QStringLiteral("Disconnected"));
    }
};

int main(int argc, char** argv) {
    return runInBothLocales<ConnectionTest>(argc, argv);
}

#include "test_connection.moc"
