// The HID device layer on its own, over the simulated backend: the device list, check-out and
// release, device changes, and the reader and writer threads.

#include "link/HidDevice.h"
#include "link/HidDeviceManager.h"
#include "sim/SimBackend.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

using kvt::HidDevice;
using kvt::HidDeviceManager;
using kvt::sim::SimBackend;

class DeviceLayerTest : public QObject {
    Q_OBJECT

    // Processes events until `done` or a generous deadline; the I/O threads need real time.
    template <typename F> static bool waitFor(F done) {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        return done();
    }

private slots:
    void raisesOneChangeAfterCreationAndOnlyRealChangesAfterThat() {
        SimBackend backend;
        backend.setManualClock(true);
        HidDeviceManager controller(&backend);
        QSignalSpy changes(&controller, &HidDeviceManager::devicesChanged);
        QVERIFY(changes.wait(1000)); // the one posted at creation, with nothing changed
        QCOMPARE(changes.size(), 1);
        QCoreApplication::processEvents();
        QCOMPARE(changes.size(), 1); // nothing changed since
        const int id = backend.plugDevice("Pad");
        QVERIFY(changes.wait(1000));
        QCOMPARE(controller.deviceCount(), 1);
        backend.setAccess(id, false); // access going or coming is a change too
        QVERIFY(changes.wait(1000));
        QVERIFY(!controller.device(0)->hasReadWriteAccess());
    }

    void checkOutAndRelease() {
        SimBackend backend;
        const int id = backend.plugDevice("Pad");
        HidDeviceManager controller(&backend);
        QCOMPARE(controller.checkOut(1), nullptr);
        QCOMPARE(controller.checkOut(-1), nullptr);
        HidDevice* held = controller.checkOut(0);
        QVERIFY(held);
        QCOMPARE(controller.checkOut(0), nullptr); // already held
        // Releasing a plugged-in device puts a fresh, unheld object in its place.
        controller.checkIn(held);
        QCOMPARE(controller.deviceCount(), 1);
        QVERIFY(!controller.device(0)->isCheckedOut());
        // A held device that vanishes stays listed, unplugged, until released.
        held = controller.checkOut(0);
        backend.unplug(id);
        QVERIFY(waitFor([&] { return !held->isPluggedIn(); }));
        QCOMPARE(controller.deviceCount(), 1);
        controller.checkIn(held);
        QCOMPARE(controller.deviceCount(), 0);
    }

    void reportsArriveZeroFilledAndStopWithTheHandler() {
        SimBackend backend;
        // A device whose input reports are short: handlers still see 64 data bytes.
        const int id = backend.plugDevice("Pad", 1, 2, true, 9, 9);
        HidDeviceManager controller(&backend);
        HidDevice* device = controller.checkOut(0);
        QList<QByteArray> seen;
        device->setDataHandler([&](HidDevice*, quint8, const QByteArray& data) { seen << data; });
        // A write waits until the reader listens; once it is out, so is the reader.
        device->writeReport(QByteArray(9, 1));
        QVERIFY(waitFor([&] { return controller.ioPending() == 0; }));
        backend.inject(id, QByteArray("\x07\x01\x02", 3));
        QVERIFY(waitFor([&] { return seen.size() == 1; }));
        QCOMPARE(seen[0].size(), 64);
        QCOMPARE(seen[0].left(4), QByteArray("\x07\x01\x02\x00", 4));
        // Cleared handler: reports already on their way are dropped, none is handled later.
        backend.inject(id, QByteArray(1, 8));
        device->setDataHandler({});
        QVERIFY(waitFor([&] { return controller.ioPending() == 0 && backend.pendingInput() == 0; }));
        QCoreApplication::processEvents();
        QCOMPARE(seen.size(), 1);
        controller.checkIn(device);
    }

    void writesGoOutInOrderAndStopWithTheDevice() {
        SimBackend backend;
        const int id = backend.plugDevice("Pad");
        HidDeviceManager controller(&backend);
        HidDevice* device = controller.checkOut(0);
        for (int i = 0; i < 50; ++i)
            QVERIFY(device->writeReport(QByteArray(65, char(i))));
        QVERIFY(waitFor([&] { return controller.ioPending() == 0; }));
        const auto written = backend.written();
        QCOMPARE(written.size(), 50);
        for (int i = 0; i < 50; ++i)
            QCOMPARE(written[i].report.at(0), char(i));
        controller.checkIn(device);
        backend.unplug(id);
        QVERIFY(waitFor([&] { return controller.deviceCount() == 0; }));
        QVERIFY(controller.shutdownIo(1000));
    }

    void releaseNeverWaitsForTheThreads() {
        SimBackend backend;
        backend.plugController("KVT318");
        HidDeviceManager controller(&backend);
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < 200; ++i) {
            HidDevice* device = controller.checkOut(0);
            device->setDataHandler([](HidDevice*, quint8, const QByteArray&) {});
            device->writeReport(QByteArray(65, 1));
            controller.checkIn(device);
        }
        qInfo("200 start-and-release cycles: %lld ms", clock.elapsed());
        QVERIFY(controller.shutdownIo(2000));
    }
};

QTEST_MAIN(DeviceLayerTest)
#include "test_device_layer.moc"
