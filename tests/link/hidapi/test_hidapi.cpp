// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/backends/HidBackendChoice.h"
#include "link/hidapi/HidapiBackend.h"
#include "link/hidapi/HidapiHandle.h"

#include <QSignalSpy>
#include <QtTest>
#include <algorithm>
#include <cstring>
#include <deque>
#include <mutex>

using namespace kvt;

namespace {

HidapiListing listing(const char* path, const QString& product, const QString& serial = {},
                      quint16 vendorId = 0x1234, quint16 productId = 0x5678) {
    return {QByteArray(path), vendorId, productId, product, serial};
}

// What one fake device does once opened: reads return the queued reports (an empty one is a
// time-out, a null one a failure) and then time out; writes are kept.
struct FakeDeviceState {
    std::deque<QByteArray> reads;
    QList<QByteArray> written;
    int writeResult = -2; // -2: the whole report
    std::optional<QString> tellsProduct;
    std::optional<QString> tellsSerial;
};

class FakeDevice final : public HidapiDevice {
public:
    FakeDevice(std::shared_ptr<FakeDeviceState> state, std::mutex& mutex)
        : state_(std::move(state)), mutex_(mutex) {}
    int readTimeout(quint8* buffer, int capacity, int) override {
        std::lock_guard lock(mutex_);
        if (state_->reads.empty())
            return 0;
        const QByteArray report = state_->reads.front();
        state_->reads.pop_front();
        if (report.isNull())
            return -1;
        const int n = std::min(capacity, int(report.size()));
        std::memcpy(buffer, report.constData(), std::size_t(n));
        return n;
    }
    int write(const quint8* data, int length) override {
        std::lock_guard lock(mutex_);
        state_->written.append(QByteArray(reinterpret_cast<const char*>(data), length));
        return state_->writeResult == -2 ? length : state_->writeResult;
    }
    std::optional<QString> productString() override { return state_->tellsProduct; }
    std::optional<QString> serialNumber() override { return state_->tellsSerial; }

private:
    std::shared_ptr<FakeDeviceState> state_;
    std::mutex& mutex_;
};

// The HID library as the tests arrange it: what it lists, which paths refuse to open, and every
// open it was asked for.
class FakeHidapi final : public HidapiCalls {
public:
    QList<HidapiListing> enumerate() override {
        std::lock_guard lock(mutex);
        return listed;
    }
    std::unique_ptr<HidapiDevice> openPath(const QByteArray& path) override {
        std::lock_guard lock(mutex);
        opened.append(path);
        if (refused.contains(path))
            return nullptr;
        auto& state = devices[path];
        if (!state)
            state = std::make_shared<FakeDeviceState>();
        return std::make_unique<FakeDevice>(state, mutex);
    }
    std::shared_ptr<FakeDeviceState> device(const QByteArray& path) {
        auto& state = devices[path];
        if (!state)
            state = std::make_shared<FakeDeviceState>();
        return state;
    }

    std::mutex mutex;
    QList<HidapiListing> listed;
    QSet<QByteArray> refused;
    QList<QByteArray> opened;
    QHash<QByteArray, std::shared_ptr<FakeDeviceState>> devices;
};

QByteArray report(int length, char first) {
    QByteArray bytes(length, '\0');
    bytes[0] = first;
    bytes[1] = char(97);
    return bytes;
}

} // namespace

class TestHidapi : public QObject {
    Q_OBJECT
private slots:
    // The list: every device once, in the library's order, with the lengths assumed without a
    // report descriptor; only controllers are opened, to learn their access.
    void listsDevicesOnceWithAccessOfControllersOnly() {
        auto fake = std::make_shared<FakeHidapi>();
        fake->listed = {listing("/dev/hidraw1", "KVT318", "SN0001"), listing("/dev/hidraw0", "USB Mouse"),
                        listing("/dev/hidraw1", "KVT318", "SN0001"), // a second top-level usage
                        listing("/dev/hidraw2", "PXA-KVT"), listing("/dev/hidraw3", {}, {}, 0x0ABC, 0x0001)};
        fake->refused = {"/dev/hidraw2"};
        HidapiBackend backend(fake);
        const QList<HidDeviceInfo> devices = backend.enumerate();

        QCOMPARE(devices.size(), 4);
        QCOMPARE(devices[0].path, QStringLiteral("/dev/hidraw1"));
        QCOMPARE(devices[0].product, QStringLiteral("KVT318"));
        QCOMPARE(devices[0].serial, QStringLiteral("SN0001"));
        QCOMPARE(devices[0].vendorId, quint16(0x1234));
        QCOMPARE(devices[1].path, QStringLiteral("/dev/hidraw0"));
        QCOMPARE(devices[2].path, QStringLiteral("/dev/hidraw2"));
        QCOMPARE(devices[3].productId, quint16(0x0001));
        for (const HidDeviceInfo& device : devices) {
            QCOMPARE(device.inputReportLength, 65);
            QCOMPARE(device.outputReportLength, 65);
        }
        QVERIFY(devices[0].access);
        QVERIFY(!devices[1].access); // never opened
        QVERIFY(!devices[2].access); // refused
        QVERIFY(!devices[3].access);
        QCOMPARE(fake->opened, (QList<QByteArray>{"/dev/hidraw1", "/dev/hidraw2"}));

        // A controller that opened is not opened again by later listings; one that did not is
        // tried again each time.
        fake->opened.clear();
        backend.enumerate();
        QCOMPARE(fake->opened, QList<QByteArray>{"/dev/hidraw2"});
    }

    // A device keeps its instance while it stays listed unchanged; anything else is a new one.
    void instancesFollowTheDevice() {
        auto fake = std::make_shared<FakeHidapi>();
        const HidapiListing controller = listing("/dev/hidraw0", "KVT318", "SN0001");
        fake->listed = {controller};
        HidapiBackend backend(fake);
        const quint32 first = backend.enumerate().at(0).instance;
        QCOMPARE(backend.enumerate().at(0).instance, first);

        fake->listed = {};
        QVERIFY(backend.enumerate().isEmpty());
        fake->listed = {controller}; // unplugged and plugged again
        const quint32 second = backend.enumerate().at(0).instance;
        QVERIFY(second != first);

        fake->listed = {listing("/dev/hidraw0", "KVT318", "SN0002")}; // another one took the path
        const quint32 third = backend.enumerate().at(0).instance;
        QVERIFY(third != first && third != second);
    }

    // Hot-plug without notifications: each listing is compared with the last one.
    void rescanSignalsOnlyChanges() {
        auto fake = std::make_shared<FakeHidapi>();
        fake->listed = {listing("/dev/hidraw0", "USB Mouse")};
        HidapiBackend backend(fake);
        QSignalSpy changed(&backend, &HidBackend::devicesChanged);
        backend.startMonitoring();
        backend.rescan();
        QCOMPARE(changed.size(), 0);

        fake->listed.append(listing("/dev/hidraw1", "KVT317"));
        fake->refused = {"/dev/hidraw1"}; // listed before its permissions are set
        backend.rescan();
        QCOMPARE(changed.size(), 1);
        backend.rescan();
        QCOMPARE(changed.size(), 1);

        fake->refused.clear(); // access arrives with no other change
        backend.rescan();
        QCOMPARE(changed.size(), 2);
        std::reverse(fake->listed.begin(), fake->listed.end()); // the same devices in another order
        backend.rescan();
        QCOMPARE(changed.size(), 2);

        fake->listed.removeFirst();
        backend.rescan();
        QCOMPARE(changed.size(), 3);
    }

    // open() reaches only the device instance it names, and fails cleanly otherwise.
    void openRefusesWhatIsNotThatDevice() {
        auto fake = std::make_shared<FakeHidapi>();
        fake->listed = {listing("/dev/hidraw0", "KVT318", "SN0001"), listing("/dev/hidraw1", "KVT317")};
        HidapiBackend backend(fake);
        const QList<HidDeviceInfo> devices = backend.enumerate();
        const quint32 instance = devices[0].instance;
        fake->opened.clear();

        QVERIFY(!backend.open(QStringLiteral("/dev/hidraw0"), instance + 100));
        QVERIFY(!backend.open(QStringLiteral("/dev/hidraw9"), instance));
        QVERIFY(!backend.open(QStringLiteral("/etc/passwd"), instance));
        QVERIFY(fake->opened.isEmpty()); // never handed to the library

        fake->refused = {"/dev/hidraw1"};
        QVERIFY(!backend.open(QStringLiteral("/dev/hidraw1"), devices[1].instance));
        fake->refused.clear();

        QVERIFY(backend.open(QStringLiteral("/dev/hidraw0"), instance));

        // The open device tells another serial number: someone else's device is at that path now,
        // which the next listing numbers afresh.
        fake->device("/dev/hidraw0")->tellsSerial = QStringLiteral("SN0099");
        QVERIFY(!backend.open(QStringLiteral("/dev/hidraw0"), instance));
        fake->device("/dev/hidraw0")->tellsSerial.reset();
        QVERIFY(!backend.open(QStringLiteral("/dev/hidraw0"), instance));
        const quint32 renumbered = backend.enumerate().at(0).instance;
        QVERIFY(renumbered != instance);
        QVERIFY(backend.open(QStringLiteral("/dev/hidraw0"), renumbered));

        // A device that went away since the listing.
        fake->listed.removeFirst();
        backend.enumerate();
        QVERIFY(!backend.open(QStringLiteral("/dev/hidraw0"), renumbered));
    }

    // A failed read means the device went away; when it is back at the same path before the next
    // listing, it is a new instance, so the connection starts over instead of reading a dead
    // handle.
    void failedReadRenumbersThePath() {
        auto fake = std::make_shared<FakeHidapi>();
        fake->listed = {listing("/dev/hidraw0", "KVT318", "SN0001")};
        HidapiBackend backend(fake);
        const quint32 instance = backend.enumerate().at(0).instance;
        std::unique_ptr<HidHandle> handle = backend.open(QStringLiteral("/dev/hidraw0"), instance);
        QVERIFY(handle);
        fake->device("/dev/hidraw0")->reads = {QByteArray()};
        quint8 buffer[65] = {};
        QCOMPARE(handle->read(buffer, 65, 100), -1);

        QSignalSpy changed(&backend, &HidBackend::devicesChanged);
        backend.startMonitoring();
        backend.rescan();
        QCOMPARE(changed.size(), 1);
        const quint32 now = backend.enumerate().at(0).instance;
        QVERIFY(now != instance);
        QVERIFY(!backend.open(QStringLiteral("/dev/hidraw0"), instance));
    }

    // Reports are handed on report ID first whether or not the device numbers its reports.
    void readsPutTheReportIdFirst() {
        auto fake = std::make_shared<FakeHidapi>();
        fake->listed = {listing("/dev/hidraw0", "KVT318")};
        HidapiBackend backend(fake);
        std::unique_ptr<HidHandle> handle =
            backend.open(QStringLiteral("/dev/hidraw0"), backend.enumerate().at(0).instance);
        QVERIFY(handle);
        std::shared_ptr<FakeDeviceState> device = fake->device("/dev/hidraw0");
        device->reads = {report(65, 1), report(64, char(97)), QByteArray(""), report(33, 1)};

        quint8 buffer[65] = {};
        QCOMPARE(handle->read(buffer, 65, 100), 65); // numbered: as it came
        QCOMPARE(buffer[0], quint8(1));
        QCOMPARE(buffer[1], quint8(97));

        std::memset(buffer, 0xEE, sizeof buffer);
        QCOMPARE(handle->read(buffer, 65, 100), 65); // a full report without its ID byte
        QCOMPARE(buffer[0], quint8(0));
        QCOMPARE(buffer[1], quint8(97));
        QCOMPARE(buffer[2], quint8(97));

        QCOMPARE(handle->read(buffer, 65, 100), 0); // time-out

        QCOMPARE(handle->read(buffer, 65, 100), 33); // a shorter numbered report
        QCOMPARE(buffer[0], quint8(1));

        // No room to put an ID in front: the report is left as it came.
        quint8 small[64] = {};
        device->reads = {report(64, 5)};
        QCOMPARE(handle->read(small, 64, 100), 64);
        QCOMPARE(small[0], quint8(5));

        device->reads = {report(65, 1)};
        handle->cancel();
        QCOMPARE(handle->read(buffer, 65, 100), 0);
    }

    void writeSucceedsOnlyWhenAllOfItWasWritten() {
        auto fake = std::make_shared<FakeHidapi>();
        fake->listed = {listing("/dev/hidraw0", "KVT318")};
        HidapiBackend backend(fake);
        std::unique_ptr<HidHandle> handle =
            backend.open(QStringLiteral("/dev/hidraw0"), backend.enumerate().at(0).instance);
        QVERIFY(handle);
        const QByteArray frame = report(65, 1);
        const auto* bytes = reinterpret_cast<const quint8*>(frame.constData());
        QVERIFY(handle->write(bytes, 65));
        QCOMPARE(fake->device("/dev/hidraw0")->written, QList<QByteArray>{frame});
        fake->device("/dev/hidraw0")->writeResult = 64;
        QVERIFY(!handle->write(bytes, 65));
        fake->device("/dev/hidraw0")->writeResult = -1;
        QVERIFY(!handle->write(bytes, 65));
        QVERIFY(!handle->write(bytes, 0));
    }

    void choiceOfBackend_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("hidrawBuilt");
        QTest::addColumn<int>("kind"); // -1: an error
        QTest::newRow("unset on Linux") << QString() << true << int(HidBackendKind::Hidraw);
        QTest::newRow("unset elsewhere") << QString() << false << int(HidBackendKind::Hidapi);
        QTest::newRow("empty") << QStringLiteral("") << true << int(HidBackendKind::Hidraw);
        QTest::newRow("hidapi") << QStringLiteral("hidapi") << true << int(HidBackendKind::Hidapi);
        QTest::newRow("hidraw") << QStringLiteral("hidraw") << true << int(HidBackendKind::Hidraw);
        QTest::newRow("hidraw not built") << QStringLiteral("hidraw") << false << -1;
        QTest::newRow("misspelt") << QStringLiteral("hidaip") << true << -1;
        QTest::newRow("upper case") << QStringLiteral("HIDAPI") << true << -1;
    }
    void choiceOfBackend() {
        QFETCH(QString, value);
        QFETCH(bool, hidrawBuilt);
        QFETCH(int, kind);
        const HidBackendChoice choice = chooseHidBackend(value, hidrawBuilt);
        if (kind < 0) {
            QVERIFY(!choice.kind);
            QVERIFY(choice.error.contains(QLatin1String("KVT_HID_BACKEND")));
            QVERIFY(choice.error.contains(value));
            QVERIFY(choice.error.contains(QLatin1String("hidapi"))); // what to use instead
        } else {
            QVERIFY(choice.kind);
            QCOMPARE(int(*choice.kind), kind);
        }
    }

    // The programs' factory on this build, with the installed library.
    void factoryFollowsTheEnvironment() {
        qputenv("KVT_HID_BACKEND", "hidapi");
        std::unique_ptr<HidBackend> backend = makeHardwareBackend();
        QVERIFY(qobject_cast<HidapiBackend*>(backend.get()));
        // Whatever this machine has, listing and a refused open work without a device.
        for (const HidDeviceInfo& device : backend->enumerate())
            QVERIFY(!device.path.isEmpty());
        QVERIFY(!backend->open(QStringLiteral("/dev/hidraw-none"), 1));

        qputenv("KVT_HID_BACKEND", "usb");
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, makeHardwareBackend());
        qunsetenv("KVT_HID_BACKEND");
#ifdef KVT_HAVE_HIDRAW
        QVERIFY(!qobject_cast<HidapiBackend*>(makeHardwareBackend().get()));
#else
        QVERIFY(qobject_cast<HidapiBackend*>(makeHardwareBackend().get()));
#endif
    }
};

QTEST_GUILESS_MAIN(TestHidapi)
#include "test_hidapi.moc"
