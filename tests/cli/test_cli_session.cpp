// SPDX-License-Identifier: GPL-3.0-or-later
// kvtctl's commands run in process against simulated controllers: which device is opened, how
// waits end, and the behaviour that the end-to-end test cannot see from outside.

#include "cli/Commands.h"
#include "cli/Session.h"
#include "link/Bytes.h"
#include "link/OpCode.h"
#include "sim/SimBackend.h"
#include "sim/SimController.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cmath>

using namespace kvt;
using namespace kvt::cli;

namespace {

struct Run {
    Exit exit = Exit::Ok;
    QByteArray out;
    QByteArray err;

    QJsonObject document(int i = 0) const {
        return QJsonDocument::fromJson(out.split('\n').value(i)).object();
    }
};

// Runs one command as kvtctl would, on `backend`, until it finishes; `during` runs once the
// command has started.
Run runCommand(sim::SimBackend& backend, const QStringList& words, GlobalOptions options = {},
               const std::function<void(Session&)>& during = {}) {
    Run run;
    const Texts tr(options.language.value_or(Language::English));
    const Output out(
        options.json, [&](const QByteArray& b) { run.out += b; }, [&](const QByteArray& b) { run.err += b; });
    Session session(options, out, tr, backend);
    auto made = makeCommand(words, session);
    if (const QString* error = std::get_if<QString>(&made)) {
        run.exit = Exit::Usage;
        run.err = error->toUtf8();
        return run;
    }
    std::unique_ptr<Command> command = std::move(std::get<std::unique_ptr<Command>>(made));
    session.start(command.get());
    if (during)
        during(session);
    // A run that does not end comes back with no exit code of kvtctl's, so its test fails.
    run.exit = QTest::qWaitFor([&] { return session.finished(); }, 15000) ? session.exit() : Exit(-1);
    return run;
}

GlobalOptions json() {
    GlobalOptions o;
    o.json = true;
    return o;
}

// The devices written to, in id order (each device has its own writer thread).
QList<int> devicesWrittenTo(const sim::SimBackend& backend) {
    QList<int> ids;
    for (const sim::SimBackend::Written& w : backend.written()) {
        if (!ids.contains(w.device))
            ids.append(w.device);
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

// A configuration write of the factory values with the given encoder type (1000 pulses).
QByteArray configWrite(quint8 encoderMode) {
    QByteArray b(63, '\0');
    bytes::putU8(b, 0, op::WriteConfiguration);
    bytes::putU8(b, 1, 50);
    bytes::putU8(b, 3, 16);
    bytes::putU8(b, 4, 2);
    bytes::putF32le(b, 5, 0.5f);
    bytes::putF32le(b, 9, 5);
    bytes::putF32le(b, 13, 10);
    bytes::putI32le(b, 17, 1000);
    bytes::putU8(b, 21, encoderMode);
    bytes::putF32le(b, 36, 1);
    bytes::putI32le(b, 41, 5);
    return b;
}

// Puts a program into the controller's memory through the transfer it drives.
void storeProgram(sim::SimController& c, int count) {
    QByteArray begin = QByteArray::fromHex("e50000");
    bytes::putU16be(begin, 1, quint16(count));
    QByteArray request = c.handle(begin).value(0);
    while (bytes::u16be(request, 1) < count) {
        const int index = bytes::u16be(request, 1);
        QByteArray record = QByteArray::fromHex("e60000") + QByteArray(10, char(index + 1));
        bytes::putU16be(record, 1, quint16(index));
        request = c.handle(record).value(0);
    }
}

} // namespace

class TestCliSession : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    // With several devices present, a command writes only to the one it was given; a listing
    // asks every accessible controller, and nothing else, for its identity.
    void onlyTheChosenControllerIsOpened() {
        sim::SimBackend backend;
        backend.plugController("KVT318");
        const int second = backend.plugController("KVT317");
        backend.plugDevice("USB Keyboard");
        const int locked = backend.plugController("PXA-KVT");
        backend.setAccess(locked, false);

        GlobalOptions options;
        options.device = QStringLiteral("SIM2");
        QCOMPARE(runCommand(backend, {"config", "get"}, options).exit, Exit::Ok);
        QCOMPARE(devicesWrittenTo(backend), QList<int>{second});

        backend.clearWritten();
        const Run list = runCommand(backend, {"list"}, json());
        QCOMPARE(list.exit, Exit::Ok);
        QCOMPARE(devicesWrittenTo(backend), (QList<int>{1, second}));
        const QJsonArray devices = list.document()["devices"].toArray();
        QCOMPARE(devices.size(), 4);
        // Every device has the identity keys; null where it was not asked or did not answer.
        for (const QString key : {"answered", "firmware", "deviceText"}) {
            QVERIFY2(devices[2].toObject().contains(key) && devices[2][key].isNull(), qPrintable(key));
            QVERIFY2(devices[3].toObject().contains(key) && devices[3][key].isNull(), qPrintable(key));
        }
        QCOMPARE(devices[2]["supported"].toBool(), false);
        QCOMPARE(devices[3]["access"].toBool(), false);
        QCOMPARE(devices[0]["answered"].toBool(), true);

        options.device = QStringLiteral("SIM4");
        const Run denied = runCommand(backend, {"status"}, options);
        QCOMPARE(denied.exit, Exit::NoAccess);
        QVERIFY(denied.err.contains("udev"));
    }

    // A controller that does not answer, or vanishes while a command waits: the time-out code,
    // with what was awaited.
    void silenceAndVanishingEndWithTheTimeoutCode() {
        sim::SimBackend backend;
        const int id = backend.plugController("KVT318");
        sim::Faults silent;
        silent.silent = true;
        backend.setFaults(id, silent);
        GlobalOptions options;
        options.timeoutMs = 150;
        const Run quiet = runCommand(backend, {"config", "get"}, options);
        QCOMPARE(quiet.exit, Exit::Timeout);
        QVERIFY2(quiet.err.contains("within 150 ms while reading the configuration (99)"), quiet.err);

        // Unplugged while the encoder test turns the motor: seen at once, not after the time-out.
        backend.setFaults(id, {});
        backend.controller(id)->handle(configWrite(0));
        QCOMPARE(runCommand(backend, {"encoder-test"}).exit, Exit::Failure); // no encoder configured
        backend.controller(id)->handle(configWrite(1));
        options.timeoutMs = 10000;
        QElapsedTimer clock;
        clock.start();
        QTimer::singleShot(300, &backend, [&] { backend.unplug(id); });
        const Run gone = runCommand(backend, {"encoder-test"}, options);
        QCOMPARE(gone.exit, Exit::Timeout);
        QVERIFY2(gone.err.contains("vanished while testing the encoder (219)"), gone.err);
        QVERIFY(clock.elapsed() < 5000);
    }

    // The window reads back only programs of more than two commands; kvtctl reads any.
    void shortProgramsAreReadBack() {
        sim::SimBackend backend;
        const int id = backend.plugController("KVT318");
        for (const int count : {1, 2, 0}) {
            storeProgram(*backend.controller(id), count);
            const Run read = runCommand(backend, {"program", "read"}, json());
            QCOMPARE(read.exit, Exit::Ok);
            const QJsonArray records = read.document()["records"].toArray();
            QCOMPARE(records.size(), count);
            for (int i = 0; i < count; ++i)
                QCOMPARE(records[i].toString().toLatin1(), QByteArray(10, char(i + 1)).toHex());
        }
    }

    void motionNeedsTheDriveAndStaysInRange() {
        sim::SimBackend backend;
        const int id = backend.plugController("KVT318");
        const Run off = runCommand(backend, {"move", "--by", "0.1", "--allow-motion"});
        QCOMPARE(off.exit, Exit::Failure);
        QVERIFY(off.err.contains("drive on --allow-motion"));

        QCOMPARE(runCommand(backend, {"drive", "on", "--allow-motion"}).exit, Exit::Ok);
        const Run far = runCommand(backend, {"move", "--to", "-2e9", "--allow-motion"}, json());
        QCOMPARE(far.exit, Exit::Ok);
        QCOMPARE(far.document()["sent"].toDouble(), -1e8);
        QVERIFY(far.err.contains("beyond the range"));
        QCOMPARE(runCommand(backend, {"stop"}).exit, Exit::Ok);
        QTRY_VERIFY(backend.controller(id)->liveState().speed == 0);

        const double start = backend.controller(id)->liveState().position;
        const Run near = runCommand(backend, {"move", "--by", "0,25", "--allow-motion", "--wait"}, json());
        QCOMPARE(near.exit, Exit::Ok);
        QCOMPARE(near.document()["motorState"].toInt(), 4); // position reached
        QVERIFY(std::abs(near.document()["position"].toDouble() - (start + 0.25)) < 1e-4);
    }

    // Ctrl-C while waiting for a move stops the motor before the run ends.
    void interruptingAWaitStopsTheMotor() {
        sim::SimBackend backend;
        const int id = backend.plugController("KVT318");
        backend.controller(id)->handle(QByteArray(1, char(op::DriveOn)));
        const Run run = runCommand(backend, {"move", "--to", "1000", "--allow-motion", "--wait"}, {},
                                   [&](Session& session) {
                                       QTRY_VERIFY(backend.controller(id)->liveState().speed > 0);
                                       session.interrupt();
                                   });
        QCOMPARE(run.exit, Exit::Interrupted);
        QVERIFY(backend.controller(id)->liveState().destination < 100);
    }

    // modbus watch switches the frame preview on for the watch and off when it is interrupted;
    // frames reported before the switch-off are all shown, then the counts.
    void modbusWatchSwitchesThePreviewOffAtTheEnd() {
        for (const bool asJson : {false, true}) {
            sim::SimBackend backend;
            backend.setManualClock(true); // no traffic of the simulated bus master
            const int id = backend.plugController("KVT318");
            const QByteArray good = QByteArray::fromHex("5708010300320002 65c4");
            const QByteArray badCrc = QByteArray::fromHex("5705028302 0000");
            const Run run = runCommand(backend, {"modbus", "watch", "--decode"}, asJson ? json() : GlobalOptions{},
                                       [&](Session& session) {
                                           QTRY_COMPARE(backend.controller(id)->modbusPreviewMode(), 1);
                                           backend.inject(id, good);
                                           backend.inject(id, badCrc);
                                           session.interrupt();
                                       });
            QCOMPARE(run.exit, Exit::Ok);
            QCOMPARE(backend.controller(id)->modbusPreviewMode(), 0);
            const QList<QByteArray> lines = run.out.trimmed().split('\n');
            QCOMPARE(lines.size(), 3);
            if (!asJson) {
                QVERIFY2(lines[0].endsWith("  01 03 00 32 00 02 65 C4  ->>  slave 1; 03 Read Holding Registers; "
                                           "request; start 50; count 2"),
                         lines[0].constData());
                QVERIFY(lines[1].endsWith("CRC ERROR 0000, expected F130"));
                QCOMPARE(lines[2], QByteArray("2 frames, 1 with a bad CRC"));
                continue;
            }
            const QJsonObject frame = run.document(0);
            QCOMPARE(frame["bytes"].toString(), QString("01 03 00 32 00 02 65 C4"));
            QCOMPARE(frame["slave"].toInt(), 1);
            QCOMPARE(frame["function"].toInt(), 3);
            QCOMPARE(frame["kind"].toString(), QString("request"));
            QCOMPARE(frame["start"].toInt(), 50);
            QCOMPARE(frame["count"].toInt(), 2);
            QCOMPARE(frame["crcOk"].toBool(), true);
            QCOMPARE(run.document(1)["crcOk"].toBool(), false);
            QCOMPARE(run.document(1)["exception"].toInt(), 2);
            QCOMPARE(run.document(2)["command"].toString(), QString("modbus watch"));
            QCOMPARE(run.document(2)["frames"].toInt(), 2);
            QCOMPARE(run.document(2)["badCrc"].toInt(), 1);
        }
    }

    // A row of drives shares one file; each gets its own Modbus address.
    void modbusAddressGoesWithTheFileRate() {
        sim::SimBackend backend;
        const int id = backend.plugController("KVT318");
        QTemporaryDir dir;
        QCOMPARE(runCommand(backend, {"config", "get", "-o", dir.filePath("row")}).exit, Exit::Ok);
        const Run set =
            runCommand(backend, {"config", "set", dir.filePath("row.kvt"), "--modbus-address", "20"});
        QCOMPARE(set.exit, Exit::Ok);
        QVERIFY(set.out.contains("Address: 1 -> 20"));
        QCOMPARE(backend.controller(id)->config().address, quint8(20));
        QCOMPARE(backend.controller(id)->config().baudrate, quint8(2));

        // A controller at 115200 baud is read back as no rate at all: the file then names none.
        backend.controller(id)->handle(QByteArray::fromHex("de0401"));
        QCOMPARE(runCommand(backend, {"config", "get", "-o", dir.filePath("fast")}).exit, Exit::Ok);
        const Run none = runCommand(backend, {"config", "set", dir.filePath("fast.kvt"), "--modbus"});
        QCOMPARE(none.exit, Exit::Failure);
        QVERIFY(none.err.contains("Baudrate"));
        QCOMPARE(runCommand(backend, {"config", "set", dir.filePath("fast.kvt")}).exit, Exit::Ok);
    }

    // Units and decimal marks as the user's locale has them.
    void statusSpeaksTheUsersLanguage() {
        QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
        sim::SimBackend backend;
        const int id = backend.plugController("PXA-KVT");
        backend.controller(id)->setSupplyMv(11500);
        GlobalOptions options;
        options.language = Language::Polish;
        const Run run = runCommand(backend, {"status"}, options);
        QCOMPARE(run.exit, Exit::Ok);
        const QString text = QString::fromUtf8(run.out);
        QVERIFY2(text.contains("pozycja:") && text.contains("0,0 mm"), run.out);
        QVERIFY(text.contains("In3 wył.")); // the PXA-KVT's Stop input
        QVERIFY(text.contains("11,5 V (poza 12-36 V)"));
    }
};

QTEST_GUILESS_MAIN(TestCliSession)
#include "test_cli_session.moc"
