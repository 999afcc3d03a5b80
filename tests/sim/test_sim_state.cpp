// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated controller's memory kept between runs, the unplug fault, and the step-rate limit
// of its configuration write.

#include "FileLimits.h"
#include "link/Bytes.h"
#include "link/OpCode.h"
#include "sim/SimBackend.h"
#include "sim/SimController.h"
#include "sim/SimStateFile.h"

#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using namespace kvt;
using namespace kvt::sim;

namespace {

QByteArray cmd(quint8 code) {
    return QByteArray(1, char(code));
}

QByteArray only(const QList<QByteArray>& answers) {
    return answers.size() == 1 ? answers.first() : QByteArray();
}

// A configuration write with the given maximum speed, step-division code, motor type and unit.
QByteArray configWrite(float maxVel, quint8 microstep, quint8 motorResol, quint8 units = 0, float coef = 1) {
    using namespace kvt::bytes;
    QByteArray b(63, '\0');
    putU8(b, 0, op::WriteConfiguration);
    putU8(b, 1, 50);
    putU8(b, 3, microstep);
    putU8(b, 4, motorResol);
    putF32le(b, 5, 0.5f);
    putF32le(b, 9, maxVel);
    putF32le(b, 13, 10);
    putF32le(b, 36, coef);
    putU8(b, 40, units);
    putI32le(b, 41, 5);
    return b;
}

// Sends a program of `records` through the transfer the controller drives.
void sendProgram(SimController& c, const QList<QByteArray>& records) {
    QByteArray begin(3, '\0');
    begin[0] = char(op::ProgramBegin);
    bytes::putU16be(begin, 1, quint16(records.size()));
    QByteArray request = only(c.handle(begin));
    while (bytes::u16be(request, 1) < records.size()) {
        const int index = bytes::u16be(request, 1);
        QByteArray record(3, '\0');
        record[0] = char(op::ProgramRecord);
        bytes::putU16be(record, 1, quint16(index));
        request = only(c.handle(record + records[index]));
    }
}

// A controller that has been through a commissioning: every part of its memory differs from
// the factory state.
void commission(SimController& c) {
    c.handle(configWrite(12.5f, 32, 4, 1, 2.5f));
    c.handle(QByteArray::fromHex("de0311")); // Modbus 57600, address 17
    sendProgram(c,
                {QByteArray::fromHex("0f010203040506070809"), QByteArray::fromHex("13fb0000000000000000")});
    c.handle(QByteArray::fromHex("ea00003f8000")); // R50 = 1.0
    c.handle(cmd(op::SaveRegisters));
    c.handle(QByteArray::fromHex("ea0000c02004")); // R52 = -2.5, not saved
    c.handle(cmd(op::DriveOn));
    c.handle(QByteArray::fromHex("9503")); // both outputs on
}

} // namespace

class TestSimState : public QObject {
    Q_OBJECT
private slots:
    // What a second run restores answers every query as the first controller did.
    void memoryComesBackThroughJson() {
        SimController first("KVT317", 2.04f, "SIM");
        commission(first);
        first.advance(10);
        const SimMemory kept = first.memory();
        const QByteArray json = QJsonDocument(toJson(kept)).toJson();

        SimController second("KVT317", 1.9f, "SIM");
        const std::optional<SimMemory> read =
            memoryFromJson(QJsonDocument::fromJson(json).object(), second.memory());
        QVERIFY(read);
        SimMemory expected = kept;
        expected.config.firmware = 1.9f; // the device's own version stays
        QCOMPARE(*read, expected);
        second.restoreMemory(*read);

        for (const quint8 code : {op::ProgramReadLength, op::ProgramReadNext, op::ProgramReadNext})
            QCOMPARE(second.handle(cmd(code)), first.handle(cmd(code)));
        QCOMPARE(second.handle(cmd(op::ReadRegisters)), first.handle(cmd(op::ReadRegisters)));
        QVERIFY(second.driveOn());
        QCOMPARE(second.liveState().outputs, quint8(3));
        QByteArray record = only(first.handle(cmd(op::Configuration)));
        bytes::putF32le(record, 18, 1.9f);
        QCOMPARE(only(second.handle(cmd(op::Configuration))), record);
        // A power cycle afterwards still tells saved registers from live ones.
        second.powerCycle();
        QCOMPARE(second.registerPair(50), 0x3F800000u);
        QCOMPARE(second.registerPair(52), 0u);
    }

    void partlyWrittenStateKeepsTheRest() {
        SimController c("KVT318", 2.04f, "SIM");
        const SimMemory factory = c.memory();
        QJsonObject o;
        o.insert("model", "KVT318");
        o.insert("config", QJsonObject{{"kp", 77}, {"maxCurrent", 300}, {"defMaxVel", "fast"}});
        o.insert("registers", "zz");
        const std::optional<SimMemory> m = memoryFromJson(o, factory);
        QVERIFY(m);
        QCOMPARE(m->config.kp, 77);
        QCOMPARE(m->config.maxCurrent, factory.config.maxCurrent); // 300 is no byte
        QCOMPARE(m->config.defMaxVel, factory.config.defMaxVel);
        QCOMPARE(m->registers, factory.registers);
        QVERIFY(!memoryFromJson(QJsonObject{{"model", "KVT999"}}, factory));
    }

    // Entries follow serial numbers; one kept for another model is not forced on a controller.
    void stateFileKeepsEachControllerBySerial() {
        QTemporaryDir dir;
        const QString path = dir.filePath("state/sim.json");
        {
            SimBackend backend;
            const QList<int> ids = {backend.plugController("KVT318"), backend.plugController("PXA-KVT")};
            commission(*backend.controller(ids[0]));
            backend.controller(ids[1])->handle(QByteArray::fromHex("de0105"));
            SimStateFile file(path);
            QVERIFY(!file.lock(1000));
            QVERIFY(!file.load()); // no file yet: an empty state
            file.storeFrom(backend, ids);
            QVERIFY(!file.save());
        }
        SimStateFile file(path);
        QVERIFY(!file.load());
        SimBackend backend;
        const QList<int> ids = {backend.plugController("KVT318"), backend.plugController("KVT317")};
        file.restoreInto(backend, ids);
        QCOMPARE(backend.controller(ids[0])->programLength(), 2);
        QCOMPARE(backend.controller(ids[0])->config().address, quint8(17));
        // SIM2 was a PXA-KVT: the KVT317 now plugged as SIM2 starts from its factory state.
        QCOMPARE(backend.controller(ids[1])->config().address, quint8(1));
    }

    void foreignFilesAreRefusedNotOverwritten() {
        QTemporaryDir dir;
        const QString path = dir.filePath("notes.json");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("{\"shopping\": [\"milk\"]}");
        f.close();
        SimStateFile file(path);
        QVERIFY(file.load().has_value());
        QVERIFY(file.load()->contains(path));

        // A second run waits for the first one's lock and gives up.
        SimStateFile first(dir.filePath("s.json"));
        SimStateFile second(dir.filePath("s.json"));
        QVERIFY(!first.lock(1000));
        QVERIFY(second.lock(50).has_value());
    }

    // Only a regular file of a sane size is taken, before anything would block on it or read
    // without end; a failed save keeps the file as it was and says why.
    void stateFileIsARegularFileOfSaneSize() {
        QTemporaryDir dir;
        const QString fifo = dir.filePath("fifo");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const QString zero = dir.filePath("zero");
        QVERIFY(QFile::link("/dev/zero", zero));
        for (const QString& path : {fifo, zero, dir.path()}) {
            SimStateFile file(path);
            const std::optional<QString> refused = file.lock(50);
            QCOMPARE(refused, std::optional(path + " is not a regular file"));
            QCOMPARE(file.load(), refused);
        }
        const QString big = dir.filePath("big.json");
        QFile f(big);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.resize(SimStateFile::MaxFileSize + 1));
        f.close();
        QVERIFY(SimStateFile(big).load().value_or(QString()).contains("larger than"));

        const QString path = dir.filePath("s.json");
        SimStateFile file(path);
        QVERIFY(!file.save());
        const QByteArray saved = testing::readAll(path);
        SimBackend backend;
        const QList<int> ids = {backend.plugController("KVT318")};
        file.storeFrom(backend, ids);
        std::optional<QString> error;
        {
            testing::FileSizeLimit limit(saved.size() + 10);
            error = file.save();
        }
        QCOMPARE(error, std::optional(QString("cannot write %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(EFBIG)))));
        QCOMPARE(testing::readAll(path), saved);
    }

    // The cable pulled after a number of commands: the device is no longer listed, its open
    // handle fails, and what it stored before stays.
    void vanishesAfterTheGivenNumberOfCommands() {
        SimBackend backend;
        const int id = backend.plugController("KVT318");
        Faults faults;
        faults.vanishAfterCommands = 2;
        backend.setFaults(id, faults);
        auto handle = backend.open(backend.info(id).path, backend.info(id).instance);
        QVERIFY(handle);
        const auto write = [&](const QByteArray& command) {
            const QByteArray report = (QByteArray(1, 1) + command).leftJustified(65, '\0');
            return handle->write(reinterpret_cast<const quint8*>(report.constData()), int(report.size()));
        };
        QVERIFY(write(cmd(op::Identity)));
        QVERIFY(backend.isPlugged(id));
        // The second command is handled, then the device is gone before it answers.
        QVERIFY(write(configWrite(7.5f, 16, 2)));
        QCOMPARE(backend.controller(id)->config().defMaxVel, 7.5f);
        QVERIFY(!backend.isPlugged(id));
        QVERIFY(backend.enumerate().isEmpty());
        QVERIFY(!write(cmd(op::Identity)));
        quint8 buffer[65];
        QCOMPARE(handle->read(buffer, sizeof buffer, 0), -1); // the answers went with the device
    }

    // The controller holds its default maximum speed to what its step rate allows with the
    // stored step division, motor and unit; slower speeds pass unchanged.
    void maximumSpeedIsHeldToTheStepRate() {
        SimController kvt318("KVT318", 2.04f, "SIM");
        kvt318.handle(configWrite(9000, 16, 2)); // 3200 steps per revolution
        QCOMPARE(kvt318.config().defMaxVel, 156.25f);
        kvt318.handle(configWrite(9000, 16, 2, 1, 2)); // 2 mm per revolution
        QCOMPARE(kvt318.config().defMaxVel, 312.5f);
        kvt318.handle(configWrite(100, 16, 2));
        QCOMPARE(kvt318.config().defMaxVel, 100.0f);

        SimController kvt317("KVT317", 2.04f, "SIM");
        kvt317.handle(configWrite(9000, 64, 0)); // code 64 is 1/128 here: 51200 steps
        QCOMPARE(kvt317.config().defMaxVel, 9.765625f);
    }
};

QTEST_GUILESS_MAIN(TestSimState)
#include "test_sim_state.moc"
