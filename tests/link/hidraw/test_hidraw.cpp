// SPDX-License-Identifier: GPL-3.0-or-later
#include "HexData.h"
#include "link/hidraw/HidrawBackend.h"
#include "link/hidraw/HidrawHandle.h"
#include "link/hidraw/HidrawSysfs.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>
#include <array>
#include <unistd.h>

using namespace kvt;

namespace {

HidDeviceInfo device(const QString& path, quint32 instance) {
    HidDeviceInfo info;
    info.path = path;
    info.instance = instance;
    return info;
}

bool writeFile(const QString& path, const QByteArray& contents) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

} // namespace

class TestHidraw : public QObject {
    Q_OBJECT
private slots:
    void instanceFromDeviceName_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<quint32>("instance");
        QTest::newRow("usb") << "0003:1234:5678.000A" << true << 10u;
        QTest::newRow("bluetooth, lower case") << "0005:046D:B01A.01ff" << true << 0x1FFu;
        QTest::newRow("largest") << "0003:1234:5678.FFFFFFFF" << true << 0xFFFFFFFFu;
        QTest::newRow("dots in the prefix") << "a.b.0003:1234:5678.0010" << true << 16u;
        QTest::newRow("no instance") << "0003:1234:5678" << false << 0u;
        QTest::newRow("empty instance") << "0003:1234:5678." << false << 0u;
        QTest::newRow("not hexadecimal") << "0003:1234:5678.00G1" << false << 0u;
        QTest::newRow("signed") << "0003:1234:5678.+1A" << false << 0u;
        QTest::newRow("spaces") << "0003:1234:5678. 1A" << false << 0u;
        QTest::newRow("more than 32 bits") << "0003:1234:5678.100000000" << false << 0u;
    }
    void instanceFromDeviceName() {
        QFETCH(QString, name);
        QFETCH(bool, valid);
        QFETCH(quint32, instance);
        const std::optional<quint32> result = instanceFromHidDeviceName(name);
        QCOMPARE(result.has_value(), valid);
        if (valid)
            QCOMPARE(*result, instance);
    }

    void uniqueByPathKeepsFirstInOrder() {
        const QList<HidDeviceInfo> listed = {device("/dev/hidraw2", 1), device("/dev/hidraw0", 2),
                                             device("/dev/hidraw2", 3), device("/dev/hidraw1", 4),
                                             device("/dev/hidraw0", 5)};
        const QList<HidDeviceInfo> unique = uniqueByPath(listed);
        QCOMPARE(unique.size(), 3);
        QCOMPARE(unique[0], listed[0]);
        QCOMPARE(unique[1], listed[1]);
        QCOMPARE(unique[2], listed[3]);
        QVERIFY(uniqueByPath({}).isEmpty());
    }

    // A sysfs-shaped tree: hidraw3 is a vendor device, hidraw4's descriptor is damaged, hidraw5 has
    // no device link.
    void sysfsTree() {
        QTemporaryDir root;
        QVERIFY(root.isValid());
        QDir dir(root.path());
        const QString vendor = QStringLiteral("devices/0003:1234:5678.000A");
        const QString damaged = QStringLiteral("devices/0003:1234:5679.0B01");
        QVERIFY(dir.mkpath(vendor) && dir.mkpath(damaged) && dir.mkpath("hidraw3") && dir.mkpath("hidraw4") &&
                dir.mkpath("hidraw5"));
        QVERIFY(writeFile(dir.filePath(vendor + "/report_descriptor"), loadHexData("vendor_64.hex")));
        QVERIFY(writeFile(dir.filePath(damaged + "/report_descriptor"), loadHexData("truncated.hex")));
        // The kernel's links are relative.
        QVERIFY(QFile::link("../" + vendor, dir.filePath("hidraw3/device")));
        QVERIFY(QFile::link("../" + damaged, dir.filePath("hidraw4/device")));

        const HidrawSysfs sysfs(root.path());
        QCOMPARE(sysfs.instance("/dev/hidraw3"), std::optional<quint32>(0xA));
        QCOMPARE(sysfs.reportLayout("/dev/hidraw3"),
                 std::optional<ReportLayout>(ReportLayout{false, 65, 65}));
        QCOMPARE(sysfs.instance("/dev/hidraw4"), std::optional<quint32>(0xB01));
        QVERIFY(!sysfs.reportLayout("/dev/hidraw4"));
        QVERIFY(!sysfs.instance("/dev/hidraw5"));
        QVERIFY(!sysfs.reportLayout("/dev/hidraw5"));
        QVERIFY(!sysfs.instance("/dev/hidraw9"));
    }

    // Only a character device whose class entry carries its device number counts as a hidraw node.
    void hidrawNodeCheck() {
        QTemporaryDir root;
        QVERIFY(root.isValid());
        QDir dir(root.path());
        QVERIFY(dir.mkpath("null") && dir.mkpath("zero") && dir.mkpath("hidraw0"));
        QVERIFY(writeFile(dir.filePath("null/dev"), "1:3\n"));    // /dev/null's number
        QVERIFY(writeFile(dir.filePath("zero/dev"), "1:3\n"));    // not /dev/zero's number (1:5)
        QVERIFY(writeFile(dir.filePath("hidraw0/dev"), "1:3\n")); // a regular file in place of the node
        const HidrawSysfs sysfs(root.path());
        QVERIFY(sysfs.isHidrawNode("/dev/null"));
        QVERIFY(!sysfs.isHidrawNode("/dev/zero"));
        QVERIFY(!sysfs.isHidrawNode(dir.filePath("hidraw0/dev")));
        QVERIFY(!sysfs.isHidrawNode("/dev/hidraw-missing"));
        QVERIFY(!HidrawSysfs().isHidrawNode("/dev/null"));
    }

    void nodeAccess() {
        QTemporaryDir root;
        QVERIFY(root.isValid());
        const QString file = root.filePath("node");
        QVERIFY(writeFile(file, "x"));
        QCOMPARE(checkNodeAccess(file), NodeAccess::ReadWrite);
        QCOMPARE(checkNodeAccess(root.filePath("gone")), NodeAccess::Missing);
        QCOMPARE(checkNodeAccess(file + "/below-a-file"), NodeAccess::Missing);
        if (geteuid() == 0)
            QSKIP("permissions do not restrict root");
        QVERIFY(QFile::setPermissions(file, QFile::ReadOwner));
        QCOMPARE(checkNodeAccess(file), NodeAccess::Denied);
    }

    void reportIdPutFirst() {
        std::array<quint8, 8> buffer{};
        const auto arrives = [](QByteArray report) {
            return [report](quint8* destination, int space) {
                const int n = std::min(space, static_cast<int>(report.size()));
                std::copy_n(report.constData(), n, destination);
                return n;
            };
        };
        // Without report IDs the kernel leaves the ID byte out: a 0 goes in front, one byte less is read.
        buffer.fill(0xEE);
        QCOMPARE(readReportIdFirst(buffer.data(), 4, false, arrives("\x61\x62\x63\x64")), 4);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(buffer.data()), 5),
                 QByteArray("\x00\x61\x62\x63\xEE", 5));
        // With report IDs the report arrives as it is.
        QCOMPARE(readReportIdFirst(buffer.data(), 8, true, arrives("\x01\x61")), 2);
        QCOMPARE(buffer[0], 0x01);
        QCOMPARE(buffer[1], 0x61);
        // Nothing arrived, a failure, and a buffer with no room for data.
        QCOMPARE(readReportIdFirst(buffer.data(), 8, false, [](quint8*, int) { return 0; }), 0);
        QCOMPARE(readReportIdFirst(buffer.data(), 8, false, [](quint8*, int) { return -1; }), -1);
        QCOMPARE(readReportIdFirst(buffer.data(), 1, false, arrives("\x61")), -1);
    }

    // Whatever this machine has: a consistent list, no crash, nothing opened that is not a device.
    void backendOnThisMachine() {
        HidrawBackend backend;
        HidrawBackend second; // the HID library stays initialised while either exists
        const QList<HidDeviceInfo> devices = backend.enumerate();
        QSet<QString> paths;
        for (const HidDeviceInfo& info : devices) {
            QVERIFY(!paths.contains(info.path));
            paths.insert(info.path);
            QVERIFY(info.inputReportLength >= 0 && info.outputReportLength >= 0);
        }
        QVERIFY(!backend.open("/dev/null", 0));
        QVERIFY(!backend.open("/dev/hidraw-missing", 0));
        QVERIFY(!backend.open(QString(), 0));
        backend.startMonitoring();
        backend.startMonitoring();
        QCoreApplication::processEvents();
        QCOMPARE(second.enumerate().size(), devices.size());
    }

    // The backend holds the HID library through the portable backend's calls, which its open
    // handles share, so a handle outliving its backend keeps it too.
    void libraryIsHeldWhileAnythingUsesIt() {
        QCOMPARE(kvt::systemHidapiUsers(), 0);
        {
            auto backend = std::make_unique<HidrawBackend>();
            const std::shared_ptr<HidapiCalls> other = systemHidapi();
            QCOMPARE(kvt::systemHidapiUsers(), 2);
            backend.reset();
            QCOMPARE(kvt::systemHidapiUsers(), 1);
        }
        QCOMPARE(kvt::systemHidapiUsers(), 0);
    }
};

QTEST_GUILESS_MAIN(TestHidraw)
#include "test_hidraw.moc"
