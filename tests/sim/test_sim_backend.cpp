// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/Bytes.h"
#include "link/OpCode.h"
#include "sim/SimBackend.h"
#include "sim/SimController.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <atomic>
#include <thread>

using namespace kvt;
using namespace kvt::sim;

namespace {

// Writes one command as the host does: report ID 1, the command, zeros to 65 bytes.
bool send(HidHandle& h, const QByteArray& command) {
    QByteArray report = (QByteArray(1, 1) + command).leftJustified(65, '\0');
    return h.write(reinterpret_cast<const quint8*>(report.constData()), static_cast<int>(report.size()));
}

bool send(HidHandle& h, quint8 code) {
    return send(h, QByteArray(1, static_cast<char>(code)));
}

// Everything waiting in a handle's queue, without blocking.
QList<QByteArray> drain(HidHandle& h) {
    QList<QByteArray> reports;
    quint8 buffer[128];
    for (int n; (n = h.read(buffer, sizeof buffer, 0)) > 0;)
        reports.append(QByteArray(reinterpret_cast<const char*>(buffer), n));
    return reports;
}

// Runs a blocking read on its own thread, as the application's reader does.
struct BlockedReader {
    explicit BlockedReader(HidHandle& h)
        : thread([this, &h] {
              quint8 buffer[65];
              result = h.read(buffer, sizeof buffer, 60000);
              done = true;
          }) {}
    ~BlockedReader() { thread.join(); }
    std::atomic<int> result = 99;
    std::atomic<bool> done = false;
    std::thread thread;
};

} // namespace

Q_DECLARE_METATYPE(kvt::sim::Faults)

class TestSimBackend : public QObject {
    Q_OBJECT
private slots:
    void enumerateAndOpen() {
        SimBackend backend;
        const int ctl = backend.plugController("PXA-KVT");
        const int mouse = backend.plugDevice("", 0x046d, 0xc077, false, 8, 4);
        const QList<HidDeviceInfo> list = backend.enumerate();
        QCOMPARE(list.size(), 2);
        QCOMPARE(list[0].product, QString("PXA-KVT"));
        QCOMPARE(list[0].path, QString("sim:/dev/hidraw0"));
        QCOMPARE(list[0].inputReportLength, 65);
        QCOMPARE(list[0].outputReportLength, 65);
        QVERIFY(list[0].access);
        QCOMPARE(list[1].path, QString("sim:/dev/hidraw1"));
        QCOMPARE(list[1].vendorId, quint16(0x046d));
        QCOMPARE(list[1].inputReportLength, 8);
        QVERIFY(list[0].instance != list[1].instance);
        QCOMPARE(backend.info(mouse), list[1]);
        QVERIFY(backend.controller(ctl) != nullptr);
        QVERIFY(backend.controller(mouse) == nullptr);

        QVERIFY(backend.open(list[0].path, list[0].instance) != nullptr);
        QVERIFY(backend.open(list[1].path, list[1].instance) == nullptr); // no access
        QVERIFY(backend.open("sim:/dev/hidraw7", 7) == nullptr);
        backend.setAccess(mouse, true);
        auto h = backend.open(list[1].path, list[1].instance);
        QVERIFY(h != nullptr);
        QVERIFY(!send(*h, op::Identity)); // longer than its output report
        QCOMPARE(backend.written().size(), 1);
        QVERIFY(!backend.written().first().ok);
    }

    void answersReachEveryOpenHandle() {
        SimBackend backend;
        const int id = backend.plugController("KVT318", 2.04f, "ABC");
        auto a = backend.open(backend.info(id).path, backend.info(id).instance);
        auto b = backend.open(backend.info(id).path, backend.info(id).instance);
        QVERIFY(send(*a, op::Identity));
        QVERIFY(send(*a, op::DriveOn));
        const QList<QByteArray> seenA = drain(*a);
        QCOMPARE(seenA, drain(*b));
        QCOMPARE(seenA.size(), 2);
        QCOMPARE(seenA[0].size(), 65);
        QCOMPARE(seenA[0].left(10), QByteArray::fromHex("01645c8f0240414243") + QByteArray(1, '\0'));
        QCOMPARE(seenA[1], QByteArray::fromHex("0197").leftJustified(65, '\0'));

        const QList<SimBackend::Written> log = backend.written();
        QCOMPARE(log.size(), 2);
        QCOMPARE(log[0].device, id);
        QVERIFY(log[0].ok);
        QCOMPARE(log[0].report, QByteArray::fromHex("0164").leftJustified(65, '\0'));
        backend.clearWritten();
        QVERIFY(backend.written().isEmpty());

        // A short read buffer gets the start of the report.
        send(*a, op::DriveOff);
        quint8 buffer[3];
        QCOMPARE(a->read(buffer, 3, 0), 3);
        QCOMPARE(buffer[1], op::DriveOff);
    }

    void pendingInputCountsReportsNotYetPassedOn() {
        SimBackend backend;
        const int id = backend.plugController("KVT318");
        auto reader = backend.open(backend.info(id).path, backend.info(id).instance);
        auto writer = backend.open(backend.info(id).path, backend.info(id).instance);
        writer->cancel(); // a handle that only writes takes no copies of the input
        quint8 buffer[65];
        send(*writer, op::LiveStatus);
        QCOMPARE(backend.pendingInput(), 1); // waiting for the reader, even before its first read
        QCOMPARE(reader->read(buffer, 65, 0), 65);
        QCOMPARE(backend.pendingInput(), 1); // handed out, not yet followed by a read
        send(*writer, op::LiveStatus);
        send(*writer, op::LiveStatus);
        QCOMPARE(backend.pendingInput(), 3);
        QCOMPARE(reader->read(buffer, 65, 0), 65);
        QCOMPARE(backend.pendingInput(), 2);
        drain(*reader);
        QCOMPARE(backend.pendingInput(), 0);

        send(*writer, op::LiveStatus);
        reader->cancel();
        QCOMPARE(backend.pendingInput(), 0);
        send(*writer, op::LiveStatus);
        QCOMPARE(reader->read(buffer, 65, 0), 0);
        reader.reset(); // destroying a handle unregisters it
        QCOMPARE(backend.pendingInput(), 0);
    }

    // A reader's next read() drops the report it was holding from pendingInput(), which tells
    // the test that the reader thread is inside read().
    void cancelWakesBlockedReader() {
        SimBackend backend;
        const int id = backend.plugController("KVT318");
        auto h = backend.open(backend.info(id).path, backend.info(id).instance);
        backend.inject(id, QByteArray(1, 1));
        quint8 buffer[65];
        QCOMPARE(h->read(buffer, 65, 0), 65);
        QCOMPARE(backend.pendingInput(), 1);
        BlockedReader reader(*h);
        QTRY_COMPARE_WITH_TIMEOUT(backend.pendingInput(), 0, 10000);
        h->cancel();
        QTRY_VERIFY_WITH_TIMEOUT(reader.done, 10000);
        QCOMPARE(reader.result.load(), 0);
    }

    void unplugFailsHandlesAndWakesReader() {
        SimBackend backend;
        const int id = backend.plugController("KVT318");
        auto h = backend.open(backend.info(id).path, backend.info(id).instance);
        send(*h, op::DriveOn);
        {
            BlockedReader blocked(*h); // takes the queued acknowledgement first
            QTRY_VERIFY_WITH_TIMEOUT(blocked.done, 10000);
            QCOMPARE(blocked.result.load(), 65);
        }
        QCOMPARE(backend.pendingInput(), 1);
        BlockedReader blocked(*h);
        QTRY_COMPARE_WITH_TIMEOUT(backend.pendingInput(), 0, 10000); // blocked in read()
        backend.unplug(id);
        QTRY_VERIFY_WITH_TIMEOUT(blocked.done, 10000);
        QCOMPARE(blocked.result.load(), -1);
        quint8 buffer[65];
        QCOMPARE(h->read(buffer, 65, 0), -1);
        QVERIFY(!send(*h, op::Identity));
        QVERIFY(!backend.written().last().ok);
        QVERIFY(!backend.isPlugged(id));
        QVERIFY(backend.enumerate().isEmpty());
    }

    void replugTakesNewInstanceAndLowestFreePath() {
        SimBackend backend;
        const int a = backend.plugController("KVT318");
        const int b = backend.plugController("KVT317");
        const int c = backend.plugController("PXA-KVT");
        auto oldHandle = backend.open(backend.info(c).path, backend.info(c).instance);
        QByteArray config(63, '\0');
        config[0] = static_cast<char>(op::WriteConfiguration);
        config[41] = 77; // Kp
        send(*oldHandle, config);
        send(*oldHandle, op::DriveOn);
        const quint32 oldInstance = backend.info(c).instance;

        backend.unplug(a);
        backend.replug(c);
        QCOMPARE(backend.pluggedIds(), (QList<int>{b, c}));
        QCOMPARE(backend.info(c).path, QString("sim:/dev/hidraw0"));
        QVERIFY(backend.info(c).instance > oldInstance);
        quint8 buffer[65];
        drain(*oldHandle);
        QCOMPARE(oldHandle->read(buffer, 65, 0), -1);

        // The controller kept its stored configuration but restarted with the drive off.
        auto h = backend.open(backend.info(c).path, backend.info(c).instance);
        send(*h, op::Configuration);
        send(*h, op::LiveStatus);
        const QList<QByteArray> r = drain(*h);
        QCOMPARE(bytes::i32le(r[0], 48), 77);
        QCOMPARE(bytes::u8(r[1], 11), quint8(0));

        const int d = backend.plugDevice("Keyboard");
        QCOMPARE(backend.info(d).path, QString("sim:/dev/hidraw2"));
    }

    void devicesChangedIsQueuedAndCoalesced() {
        SimBackend backend;
        QSignalSpy spy(&backend, &HidBackend::devicesChanged);
        const int id = backend.plugController("KVT318");
        backend.plugDevice("Mouse");
        backend.setAccess(id, false);
        QCOMPARE(spy.count(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 10000);
        QCoreApplication::processEvents();
        QCOMPARE(spy.count(), 1);

        backend.setAccess(id, false); // no change
        backend.unplug(99);
        QCoreApplication::processEvents();
        QCOMPARE(spy.count(), 1);

        backend.unplugAll();
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 2, 10000);
    }

    void faults_data() {
        QTest::addColumn<Faults>("faults");
        QTest::addColumn<bool>("written");
        QTest::addColumn<QList<int>>("sizes");
        Faults f;
        QTest::newRow("none") << f << true << QList<int>{65};
        f.silent = true;
        QTest::newRow("silent") << f << true << QList<int>{};
        f = {};
        f.shortReports = 4;
        QTest::newRow("short") << f << true << QList<int>{4};
        f = {};
        f.unknownCodes = true;
        QTest::newRow("unknown codes") << f << true << QList<int>{65, 65};
        f = {};
        f.failingWrites = true;
        QTest::newRow("failing writes") << f << false << QList<int>{};
    }

    void faults() {
        QFETCH(Faults, faults);
        QFETCH(bool, written);
        QFETCH(QList<int>, sizes);
        SimBackend backend;
        const int id = backend.plugController("KVT318");
        backend.setFaults(id, faults);
        auto h = backend.open(backend.info(id).path, backend.info(id).instance);
        QCOMPARE(send(*h, op::Identity), written);
        QCOMPARE(backend.written().size(), 1);
        QCOMPARE(backend.written().first().ok, written);
        const QList<QByteArray> reports = drain(*h);
        QList<int> got;
        for (const QByteArray& r : reports)
            got.append(static_cast<int>(r.size()));
        QCOMPARE(got, sizes);
        if (!reports.isEmpty())
            QCOMPARE(reports[0].left(2), QByteArray::fromHex("0164"));
        if (reports.size() > 1)
            QVERIFY(!op::isResponseCode(static_cast<quint8>(reports[1].at(1))));
    }

    void garbageIsRandomButRepeatable() {
        const auto run = [] {
            SimBackend backend;
            const int id = backend.plugController("KVT318");
            Faults f;
            f.garbage = true;
            backend.setFaults(id, f);
            auto h = backend.open(backend.info(id).path, backend.info(id).instance);
            for (int i = 0; i < 20; ++i)
                send(*h, op::ProgramRunState);
            return drain(*h);
        };
        const QList<QByteArray> first = run();
        QCOMPARE(first, run());
        QCOMPARE(first.size(), 40);
        QSet<int> lengths;
        for (int i = 1; i < first.size(); i += 2) {
            QVERIFY(first[i].size() >= 1 && first[i].size() <= 65);
            QVERIFY(first[i].size() < 2 || !op::isResponseCode(static_cast<quint8>(first[i].at(1))));
            lengths.insert(static_cast<int>(first[i].size()));
        }
        QVERIFY(lengths.size() > 5);
    }

    void injectFramesForTheDevice() {
        SimBackend backend;
        const int id = backend.plugDevice("Odd", 1, 2, true, 6, 6);
        auto h = backend.open(backend.info(id).path, backend.info(id).instance);
        backend.inject(id, QByteArray::fromHex("61"));
        backend.inject(id, QByteArray::fromHex("0102030405060708"));
        QCOMPARE(drain(*h), (QList<QByteArray>{QByteArray::fromHex("016100000000"),
                                               QByteArray::fromHex("010102030405")}));
    }

    // Tests read every report written; a simulation that runs for hours keeps only the latest.
    void writtenLogKeepsAllUnlessLimited() {
        SimBackend backend;
        const int id = backend.plugDevice("Odd", 1, 2, true, 3, 3);
        auto h = backend.open(backend.info(id).path, backend.info(id).instance);
        const auto write = [&](int from, int to) {
            for (int i = from; i < to; ++i) {
                const quint8 report[3] = {0, quint8(i), quint8(i >> 8)};
                h->write(report, 3);
            }
        };
        write(0, SimBackend::WrittenLogLimit + 5);
        QCOMPARE(backend.written().size(), SimBackend::WrittenLogLimit + 5);
        backend.setWrittenLogLimit(4);
        write(0, 6);
        const QList<SimBackend::Written> kept = backend.written();
        QCOMPARE(kept.size(), 4);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(kept[i].report, QByteArray::fromHex("00") + char(i + 2) + QByteArray(1, 0));
    }

    // The delay is real time, as it is meant for measurements: 30 ms each way.
    void latencyDelaysWritesAndReports() {
        SimBackend backend;
        backend.setManualClock(true);
        const int id = backend.plugController("KVT318");
        auto h = backend.open(backend.info(id).path, backend.info(id).instance);
        backend.setLatency(std::chrono::milliseconds(30));
        QElapsedTimer t;
        t.start();
        QVERIFY(send(*h, op::Identity));
        QVERIFY(t.elapsed() >= 30); // the write returns once across
        quint8 buffer[65];
        QCOMPARE(h->read(buffer, 65, 0), 0); // the answer is on its way: waiting, not readable
        QCOMPARE(backend.pendingInput(), 1);
        QCOMPARE(h->read(buffer, 65, 5), 0);
        QCOMPARE(h->read(buffer, 65, 1000), 65);
        QVERIFY(t.elapsed() >= 60);
        QCOMPARE(buffer[1], op::Identity);

        // A reader blocked without a time-out wakes when the report is due; reports keep their order.
        backend.inject(id, QByteArray(1, char(1)));
        backend.inject(id, QByteArray(1, char(2)));
        t.restart();
        QCOMPARE(h->read(buffer, 65, -1), 65);
        QVERIFY(t.elapsed() >= 25);
        QCOMPARE(buffer[1], 1);
        QCOMPARE(h->read(buffer, 65, 0), 65);
        QCOMPARE(buffer[1], 2);

        backend.setLatency(std::chrono::microseconds(0));
        backend.inject(id, QByteArray(1, char(3)));
        QCOMPARE(h->read(buffer, 65, 0), 65);
    }

    void manualClockDrivesControllers() {
        SimBackend backend;
        backend.setManualClock(true);
        const int id = backend.plugController("KVT318");
        auto h = backend.open(backend.info(id).path, backend.info(id).instance);
        send(*h, op::DriveOn);
        QByteArray move = QByteArray(1, static_cast<char>(op::RunAtSpeed));
        bytes::putF32le(move, 1, 1.0f);
        send(*h, move);
        send(*h, op::EncoderTest);
        drain(*h);
        backend.advance(1000);
        const QList<QByteArray> out = drain(*h); // nine running counts and the result
        QCOMPARE(out.size(), 10);
        QCOMPARE(bytes::u8(out.last(), 1), op::EncoderResult);
        // From the start/stop speed of 0.5: 0.05 s of ramp to 1, then 0.95 s at 1.
        QVERIFY(qAbs(backend.controller(id)->liveState().position - 0.9875f) < 0.01f);
    }

    // The writer thread's commands and the clock on this thread share the controller model.
    void writerThreadAndClockShareTheModel() {
        SimBackend backend;
        backend.setManualClock(true);
        const int id = backend.plugController("KVT318");
        auto reader = backend.open(backend.info(id).path, backend.info(id).instance);
        drain(*reader);
        std::atomic<bool> done = false;
        std::thread writer([&] {
            auto h = backend.open(backend.info(id).path, backend.info(id).instance);
            send(*h, op::DriveOn);
            for (int i = 0; i < 200; ++i) {
                QByteArray move(1, static_cast<char>(op::GoTo));
                bytes::putF32le(move, 1, static_cast<float>(i % 7));
                send(*h, move);
                send(*h, op::LiveStatus);
            }
            done = true;
        });
        while (!done)
            backend.advance(1);
        writer.join();
        QCOMPARE(drain(*reader).size(), 201);
        QCOMPARE(backend.written().size(), 401);
    }

    void realClockFollowsTime() {
        SimBackend backend;
        const int id = backend.plugController("KVT318");
        auto h = backend.open(backend.info(id).path, backend.info(id).instance);
        send(*h, op::DriveOn);
        QByteArray move = QByteArray(1, static_cast<char>(op::RunAtSpeed));
        bytes::putF32le(move, 1, 5.0f);
        send(*h, move);
        QTRY_VERIFY_WITH_TIMEOUT(backend.controller(id)->liveState().position > 0.5f, 20000);
    }
};

QTEST_GUILESS_MAIN(TestSimBackend)
#include "test_sim_backend.moc"
