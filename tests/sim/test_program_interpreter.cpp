// SPDX-License-Identifier: GPL-3.0-or-later
#include "functions/core/AutoFunction.h"
#include "link/Bytes.h"
#include "link/OpCode.h"
#include "sim/SimController.h"

#include <QTest>
#include <algorithm>

using namespace kvt;
using namespace kvt::sim;
using program::CommandRecord;

namespace {

QByteArray cmd(quint8 code) {
    return QByteArray(1, static_cast<char>(code));
}

QByteArray rec(std::initializer_list<int> values) {
    QByteArray r(10, '\0');
    int i = 0;
    for (int v : values)
        r[i++] = static_cast<char>(v);
    return r;
}

// Sends a program as the host does: the length, then each record the controller asks for.
void load(SimController& c, const QList<QByteArray>& records) {
    QByteArray begin = cmd(op::ProgramBegin);
    bytes::putU16be(begin, 1, static_cast<quint16>(records.size()));
    QList<QByteArray> out = c.handle(begin);
    while (!out.isEmpty()) {
        const int index = bytes::u16be(out.first(), 1);
        if (index >= records.size())
            break;
        QByteArray answer = cmd(op::ProgramRecord);
        bytes::putU16be(answer, 1, static_cast<quint16>(index));
        out = c.handle(answer + records.at(index));
    }
    QCOMPARE(c.programLength(), records.size());
}

void load(SimController& c, const QList<CommandRecord>& records) {
    QList<QByteArray> raw;
    for (const CommandRecord& r : records)
        raw << QByteArray(reinterpret_cast<const char*>(r.data()), static_cast<qsizetype>(r.size()));
    load(c, raw);
}

// The drive's travel sampled every 10 ms: standstill stretches and direction changes.
struct Travel {
    double minPosition = 0, maxPosition = 0;
    int reversals = 0;
    QList<int> standstillsAtHome2; // lengths in ms of the stops at the positive end
    QList<int> standstillsAtHome1;
};

Travel watch(SimController& c, int ms) {
    Travel t;
    int still = 0;
    int lastDirection = 0;
    for (int elapsed = 0; elapsed < ms; elapsed += 10) {
        c.advance(10);
        const LiveState s = c.liveState();
        t.minPosition = std::min<double>(t.minPosition, s.position);
        t.maxPosition = std::max<double>(t.maxPosition, s.position);
        if (s.speed == 0) {
            still += 10;
            continue;
        }
        if (still > 0)
            (s.position > 0 ? t.standstillsAtHome2 : t.standstillsAtHome1) << still;
        still = 0;
        const int direction = s.speed > 0 ? 1 : -1;
        if (lastDirection != 0 && direction != lastDirection)
            ++t.reversals;
        lastDirection = direction;
    }
    return t;
}

SimController withSensors() {
    SimController c("KVT318", 2.04f, "SIM");
    c.setEndSensors({true, -1.0, 1.0});
    return c;
}

} // namespace

class TestProgramInterpreter : public QObject {
    Q_OBJECT
private slots:
    // The generated fixed-speed program drives between the two switches and waits W1 at Home2
    // and W2 at Home1 (the motor stands still for the wait less its ramp down).
    void fixedSpeedBackAndForth() {
        SimController c = withSensors();
        load(c, functions::generateProgram({1.0f, 300, 900, false}));
        QVERIFY(!c.driveOn());
        c.handle(cmd(op::ProgramStart));
        const Travel t = watch(c, 12000);
        QVERIFY(c.driveOn());
        QCOMPARE(c.programRunState(), ProgramMemory::Running);
        QVERIFY(t.reversals >= 3);
        QVERIFY(t.maxPosition >= 1.0 && t.maxPosition < 1.1);
        QVERIFY(t.minPosition <= -1.0 && t.minPosition > -1.1);
        QVERIFY(t.standstillsAtHome2.size() >= 2 && t.standstillsAtHome1.size() >= 1);
        for (int ms : t.standstillsAtHome2)
            QVERIFY2(ms > 300 - 120 && ms <= 300, qPrintable(QString::number(ms)));
        for (int ms : t.standstillsAtHome1)
            QVERIFY2(ms > 900 - 120 && ms <= 900, qPrintable(QString::number(ms)));
    }

    // The analog variant sets the speed every 20 ms from the analog input (0..10 V gives the
    // configured 0..10 units per second here).
    void analogSpeedFollowsInput() {
        SimController c = withSensors();
        c.setEndSensors({true, -5.0, 5.0});
        c.setAnalogMv(3000);
        load(c, functions::generateProgram({1.0f, 0, 0, true}));
        c.handle(cmd(op::ProgramStart));
        c.advance(1000);
        QCOMPARE(c.liveState().speed, 3.0f);
        c.setAnalogMv(1000);
        c.advance(300); // the next 20 ms period and the ramp
        QCOMPARE(c.liveState().speed, 1.0f);
        const Travel t = watch(c, 25000);
        QVERIFY(t.reversals >= 2);
        QCOMPARE(c.programRunState(), ProgramMemory::Running);
    }

    // A record the interpreter does not know, a jump to a missing label, or the end of the
    // program stop it; the motor stops with it.
    void programEnds_data() {
        QTest::addColumn<QList<QByteArray>>("program");
        QTest::newRow("unknown code") << QList<QByteArray>{rec({4}), rec({6, 0, 0, 0x80, 0x3F}), rec({99})};
        QTest::newRow("missing label")
            << QList<QByteArray>{rec({4}), rec({6, 0, 0, 0x80, 0x3F}), rec({16, 0, 0, 0, 0, 0, 5})};
        QTest::newRow("unknown analog code")
            << QList<QByteArray>{rec({4}), rec({6, 0, 0, 0, 0, 0, 0, 0, 0, 7})};
        QTest::newRow("unknown input") << QList<QByteArray>{rec({4}), rec({21, 9, 1})};
        QTest::newRow("runs off the end")
            << QList<QByteArray>{rec({4}), rec({6, 0, 0, 0x80, 0x3F}), rec({19, 100})};
    }
    void programEnds() {
        QFETCH(QList<QByteArray>, program);
        SimController c = withSensors();
        load(c, program);
        c.handle(cmd(op::ProgramStart));
        c.advance(150);
        QCOMPARE(c.programRunState(), ProgramMemory::Off);
        c.advance(200);
        QCOMPARE(c.liveState().speed, 0.0f);
    }

    void pauseResumeAndRestart() {
        SimController c = withSensors();
        c.setEndSensors({true, -10.0, 10.0});
        load(c, functions::generateProgram({2.0f, 0, 0, false}));
        c.handle(cmd(op::ProgramStart));
        c.advance(1000);
        QCOMPARE(c.liveState().speed, 2.0f);
        c.handle(cmd(op::ProgramPause));
        c.advance(500);
        QCOMPARE(c.liveState().speed, 0.0f);
        const float held = c.liveState().position;
        c.advance(500);
        QCOMPARE(c.liveState().position, held);
        c.handle(cmd(op::ProgramStart)); // resumes in the same direction
        c.advance(500);
        QCOMPARE(c.liveState().speed, 2.0f);

        // Stopped, then started again: from the first record.
        c.handle(cmd(op::Stop));
        QCOMPARE(c.programRunState(), ProgramMemory::Off);
        c.advance(500);
        QCOMPARE(c.liveState().speed, 0.0f);
        c.handle(cmd(op::DriveOff));
        c.handle(cmd(op::ProgramStart));
        c.advance(1000);
        QVERIFY(c.driveOn()); // the first record switched it on again
        QCOMPARE(c.liveState().speed, 2.0f);
    }

    // A loop without a pause does not hang the model; inputs simulated by the host count.
    void busyLoopAndSimulatedInputs() {
        SimController c("KVT318", 2.04f, "SIM"); // no end switches
        load(c, QList<QByteArray>{rec({4}), rec({15, 1}), rec({17, 1, 2, 0, 0, 0, 1}), rec({10}), rec({99})});
        c.handle(cmd(op::ProgramStart));
        c.advance(1000);
        QCOMPARE(c.programRunState(), ProgramMemory::Running);
        c.handle(QByteArray::fromHex("9604")); // In1 active: the loop ends and the program with it
        c.advance(2);
        QCOMPARE(c.programRunState(), ProgramMemory::Off);
    }
};

QTEST_APPLESS_MAIN(TestProgramInterpreter)
#include "test_program_interpreter.moc"
