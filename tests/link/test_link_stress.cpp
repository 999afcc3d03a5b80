// SPDX-License-Identifier: GPL-3.0-or-later
// The device link under load: many rescans and unplugs while a controller floods reports, and
// the time a queued command takes to reach the device.

#include "RigTest.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "link/HidDevice.h"
#include "link/Transport.h"
#include "sim/SimBackend.h"

#include <QElapsedTimer>
#include <atomic>
#include <mutex>
#include <thread>

using namespace testing;

class LinkStressTest : public QObject {
    Q_OBJECT

    // Device instance of the active device, the only one whose reports may be handled.
    static qint64 activeInstance(rig::AppRig& rig) {
        const kvt::HidDevice* active = rig.program().mainWindow->link().activeDevice();
        return active && active->isCheckedOut() ? qint64(active->deviceInstance()) : -1;
    }

private slots:
    void rescansAndUnplugsDuringAFloodHandleNoStaleReport() {
        rig::AppRig rig;
        constexpr quint8 FloodCode = 250; // a code no page owns: the test registers it
        int handled = 0;
        int stale = 0;
        QObject receiver;
        rig.program().mainWindow->link().subscribe(FloodCode, &receiver, [&](const kvt::Response& r) {
            ++handled;
            if (qint64(r.bytes().u32le(1)) != activeInstance(rig))
                ++stale;
        });

        // Each flood report carries the instance of the device it comes from. Plugging and
        // unplugging hold the lock, so a report is never tagged with a replugged device's old
        // instance.
        std::mutex plugging;
        std::atomic<bool> stop{false};
        std::atomic<int> target{-1};
        std::thread flood([&] {
            while (!stop) {
                {
                    std::lock_guard lock(plugging);
                    const int id = target;
                    if (id > 0 && rig.sim().isPlugged(id))
                        rig.sim().inject(
                            id, kvt::ByteWriter().u8(FloodCode).u32le(rig.sim().info(id).instance).data());
                }
                std::this_thread::yield();
            }
        });

        // While the flood runs the link is never idle (the reader keeps a bounded backlog), so time
        // passes by processing events rather than by the rig's settle.
        auto pump = [](int ms) {
            QElapsedTimer clock;
            clock.start();
            while (clock.elapsed() < ms)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        };
        int id = rig.plugController("KVT318");
        target = id;
        pump(300);
        for (int round = 0; round < 1000; ++round) {
            std::unique_lock lock(plugging);
            switch (round % 4) {
            case 0: // unplug and plug a new controller
                rig.unplug(id);
                id = rig.plugController(round % 8 ? "KVT318" : "KVT317");
                target = id;
                break;
            case 1: // an unrelated device appears: rescan and reconnect
                rig.plugDevice("Mouse");
                break;
            case 2: // the same controller again, quickly
                rig.replug(id);
                break;
            case 3: // the unrelated devices vanish
                for (int other : rig.sim().pluggedIds()) {
                    if (other != id)
                        rig.unplug(other);
                }
                break;
            }
            lock.unlock();
            if (round % 10 == 0)
                pump(2);
            else
                QCoreApplication::processEvents();
        }
        pump(100);
        stop = true;
        flood.join();
        rig.settle();
        QCOMPARE(stale, 0);
        QVERIFY(handled > 0);
        // The last controller plugged is the one connected. Its identity answer may have been among
        // the reports the bounded backlog dropped during the flood, so the status line may not show
        // its firmware yet; panel 1 names the controller as soon as it answers the roll call.
        QCOMPARE(activeInstance(rig), qint64(rig.sim().info(id).instance));
        QCOMPARE(rig.statusPanel(1), QStringLiteral("Połączony z ") + rig.sim().info(id).product);
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    LinkStressTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_link_stress.moc"
