// SPDX-License-Identifier: GPL-3.0-or-later
// The HID device layer on its own, over the simulated backend: the device list, check-out and
// release, device changes, and the reader and writer threads.

#include "link/HidDevice.h"
#include "link/HidDeviceManager.h"
#include "sim/SimBackend.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <condition_variable>
#include <mutex>
#include <pthread.h>
#include <string_view>

using kvt::HidDevice;
using kvt::HidDeviceManager;
using kvt::sim::SimBackend;

// Opens the reader's handles only after a pause, as a busy system might: the writer's handle is
// open long before the reader listens.
class SlowReaderBackend : public kvt::HidBackend {
public:
    explicit SlowReaderBackend(SimBackend& sim) : sim_(sim) {}
    QList<kvt::HidDeviceInfo> enumerate() override { return sim_.enumerate(); }
    std::unique_ptr<kvt::HidHandle> open(const QString& path, quint32 instance) override {
        char name[32] = {};
        pthread_getname_np(pthread_self(), name, sizeof name);
        if (std::string_view(name) == "kvt-hid-reader")
            QThread::msleep(150);
        return sim_.open(path, instance);
    }

private:
    SimBackend& sim_;
};

// Reads that never end until the handle is cancelled, like a device that stays silent while a
// read waits without a time-out.
class BlockingReadBackend : public kvt::HidBackend {
public:
    explicit BlockingReadBackend(SimBackend& sim) : sim_(sim) {}
    QList<kvt::HidDeviceInfo> enumerate() override { return sim_.enumerate(); }
    std::unique_ptr<kvt::HidHandle> open(const QString& path, quint32 instance) override {
        auto inner = sim_.open(path, instance);
        return inner ? std::make_unique<Handle>(std::move(inner)) : nullptr;
    }

private:
    class Handle : public kvt::HidHandle {
    public:
        explicit Handle(std::unique_ptr<kvt::HidHandle> inner) : inner_(std::move(inner)) {}
        int read(quint8*, int, int) override {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return cancelled_; });
            return 0;
        }
        bool write(const quint8* data, int length) override { return inner_->write(data, length); }
        void cancel() override {
            std::lock_guard lock(mutex_);
            cancelled_ = true;
            wake_.notify_all();
        }

    private:
        std::unique_ptr<kvt::HidHandle> inner_;
        std::mutex mutex_;
        std::condition_variable wake_;
        bool cancelled_ = false;
    };
    SimBackend& sim_;
};

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

    // A controller vanishes and another takes its node before the device's threads open it:
    // nothing meant for the first may reach the second.
    void commandsNeverReachADeviceThatTookTheNode() {
        SimBackend backend;
        const int first = backend.plugController("KVT318");
        HidDeviceManager manager(&backend);
        HidDevice* device = manager.checkOut(0);
        const QString path = device->devicePath();
        backend.unplug(first);
        const int second = backend.plugController("KVT317"); // the lowest free node: the same path
        QCOMPARE(backend.info(second).path, path);
        device->setDataHandler([](HidDevice*, quint8, const QByteArray&) {});
        device->writeReport(QByteArray("\x01\x64", 2) + QByteArray(63, '\0'));
        // No events are processed meanwhile, so the manager has not yet seen the change.
        QElapsedTimer clock;
        clock.start();
        while (manager.ioPending() > 0 && clock.elapsed() < 5000)
            QThread::msleep(1);
        QCOMPARE(manager.ioPending(), 0);
        QVERIFY(backend.written().isEmpty());
        manager.checkIn(device);
    }

    // Reports read for one handler are never handed to the next one, even when the handler is
    // replaced before they reach the user-interface thread.
    void reportsOfAnEarlierReaderAreNotHandledByTheNext() {
        SimBackend backend;
        const int id = backend.plugDevice("Pad");
        HidDeviceManager manager(&backend);
        HidDevice* device = manager.checkOut(0);
        int first = 0;
        int second = 0;
        device->setDataHandler([&](HidDevice*, quint8, const QByteArray&) { ++first; });
        device->writeReport(QByteArray(65, 0)); // out once the reader listens
        QVERIFY(waitFor([&] { return manager.ioPending() == 0; }));
        for (int i = 0; i < 5; ++i)
            backend.inject(id, QByteArray(1, char(7)));
        // Read and queued, not yet handled: this thread has not processed events meanwhile.
        QElapsedTimer clock;
        clock.start();
        while (device->backlog() < 5 && clock.elapsed() < 5000)
            QThread::msleep(1);
        QCOMPARE(device->backlog(), 5);
        device->setDataHandler({});
        device->setDataHandler([&](HidDevice*, quint8, const QByteArray&) { ++second; });
        QVERIFY(waitFor([&] { return manager.ioPending() == 0; }));
        QCoreApplication::processEvents();
        QCOMPARE(first + second, 0);
        manager.checkIn(device);
    }

    // The first command of a connection waits until the reader listens, so its answer is not
    // lost however slowly the reader's handle opens.
    void firstAnswerIsNotLostToASlowReader() {
        SimBackend sim;
        sim.plugController("KVT318");
        SlowReaderBackend backend(sim);
        HidDeviceManager manager(&backend);
        HidDevice* device = manager.checkOut(0);
        QList<quint8> codes;
        device->setDataHandler([&](HidDevice*, quint8, const QByteArray& data) { codes << quint8(data[0]); });
        device->writeReport(QByteArray("\x01\x64", 2) + QByteArray(63, '\0')); // identity
        QVERIFY(waitFor([&] { return codes.contains(100); }));
        manager.checkIn(device);
    }

    // Writing never waits for a read: the reader here is stuck in one for good.
    void writesGoOutWhileTheReaderIsBlocked() {
        SimBackend sim;
        sim.plugDevice("Pad");
        BlockingReadBackend backend(sim);
        HidDeviceManager manager(&backend);
        HidDevice* device = manager.checkOut(0);
        device->setDataHandler([](HidDevice*, quint8, const QByteArray&) {});
        for (int i = 1; i <= 3; ++i)
            device->writeReport(QByteArray(65, char(i)));
        QVERIFY(waitFor([&] { return sim.written().size() == 3; }));
        manager.checkIn(device);
        QVERIFY(manager.shutdownIo(2000));
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

    void repeatedStartAndReleaseLeavesNoThreadBehind() {
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
