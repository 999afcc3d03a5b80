// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/Bytes.h"
#include "link/OpCode.h"
#include "sim/SimController.h"

#include <QSet>
#include <QTest>
#include <limits>

using namespace kvt;
using namespace kvt::sim;
namespace bytes = kvt::bytes;

namespace {

QByteArray cmd(quint8 code) {
    return QByteArray(1, static_cast<char>(code));
}

QByteArray cmdF(quint8 code, float value) {
    QByteArray b = cmd(code);
    bytes::putF32le(b, 1, value);
    return b;
}

QByteArray cmdU8(quint8 code, quint8 value) {
    return cmd(code) + QByteArray(1, static_cast<char>(value));
}

QByteArray only(const QList<QByteArray>& responses) {
    return responses.size() == 1 ? responses.first() : QByteArray();
}

QByteArray motionParams(float maxSpeed, float acceleration) {
    QByteArray b = cmd(op::SetMotionParams);
    bytes::putF32le(b, 5, maxSpeed);
    bytes::putF32le(b, 9, acceleration);
    return b;
}

QByteArray status(SimController& c) {
    return only(c.handle(cmd(op::LiveStatus)));
}

// A 236 command as the host builds it from the configuration page.
struct Write {
    quint8 maxCurrent = 60, redCurrent = 30, microstep = 32, motorResol = 4;
    float vmin = 0.25f, vmax = 12.5f, acc = 40.0f;
    qint32 encoderResol = 2000;
    quint8 encoderMode = 1, homingMode = 2, offAfterError = 1, positionMem = 1, homeAsLimit = 1,
           startStop = 1;
    quint8 ainMode = 2;
    float ainMin = -3.0f, ainMax = 7.5f, coef = 2.5f;
    quint8 units = 3;
    qint32 kp = 42;

    QByteArray bytes() const {
        using namespace kvt::bytes;
        QByteArray b(63, '\0');
        putU8(b, 0, op::WriteConfiguration);
        putU8(b, 1, maxCurrent);
        putU8(b, 2, redCurrent);
        putU8(b, 3, microstep);
        putU8(b, 4, motorResol);
        putF32le(b, 5, vmin);
        putF32le(b, 9, vmax);
        putF32le(b, 13, acc);
        putI32le(b, 17, encoderResol);
        putU8(b, 21, encoderMode);
        putU8(b, 22, homingMode);
        putU8(b, 23, offAfterError);
        putU8(b, 24, positionMem);
        putU8(b, 25, homeAsLimit);
        putU8(b, 26, startStop);
        putU8(b, 27, ainMode);
        putF32le(b, 28, ainMin);
        putF32le(b, 32, ainMax);
        putF32le(b, 36, coef);
        putU8(b, 40, units);
        putI32le(b, 41, kp);
        return b;
    }
};

} // namespace

class TestSimController : public QObject {
    Q_OBJECT
private slots:
    void identityCarriesFirmwareAndText() {
        SimController c("KVT318", 2.04f, "SIM-7");
        const QByteArray r = only(c.handle(cmd(op::Identity)));
        QCOMPARE(bytes::u8(r, 0), op::Identity);
        QCOMPARE(bytes::f32le(r, 1), 2.04f);
        QCOMPARE(r.mid(5), QByteArray("SIM-7\0", 6));
    }

    void configReportDefaultsPerModel() {
        SimController c("KVT317", 1.5f, "SIM");
        const QByteArray r = only(c.handle(cmd(op::Configuration)));
        QCOMPARE(r.size(), 51);
        QCOMPARE(bytes::f32le(r, 18), 1.5f);
        QVERIFY(isMicrostepCode("KVT317", bytes::u8(r, 22)));
        QCOMPARE(bytes::u8(r, 46), quint8(0)); // revolutions

        SimController pxa("PXA-KVT", 1.2f, "SIM");
        QCOMPARE(bytes::u8(only(pxa.handle(cmd(op::Configuration))), 46), quint8(1)); // mm
    }

    // What 236 stores comes back through 99 at the report's own offsets.
    void configWriteComesBackInReport() {
        SimController c("KVT318", 2.04f, "SIM");
        c.handle(QByteArray::fromHex("de0420")); // Modbus: 115200, address 32
        const Write w;
        QCOMPARE(c.handle(w.bytes()), QList<QByteArray>{cmd(op::WriteConfiguration)});
        const QByteArray r = only(c.handle(cmd(op::Configuration)));
        QCOMPARE(bytes::f32le(r, 1), w.vmin);
        QCOMPARE(bytes::f32le(r, 5), w.vmax);
        QCOMPARE(bytes::f32le(r, 9), w.acc);
        QCOMPARE(bytes::i32le(r, 13), w.encoderResol);
        QCOMPARE(bytes::u8(r, 17), w.encoderMode);
        QCOMPARE(bytes::f32le(r, 18), 2.04f);
        QCOMPARE(bytes::u8(r, 22), w.microstep);
        QCOMPARE(bytes::u8(r, 23), w.maxCurrent);
        QCOMPARE(bytes::u8(r, 24), w.redCurrent);
        QCOMPARE(bytes::u8(r, 25), w.homingMode);
        QCOMPARE(bytes::u8(r, 26), quint8(32));
        QCOMPARE(bytes::u8(r, 27), quint8(4));
        QCOMPARE(bytes::u8(r, 28), w.motorResol);
        QCOMPARE(r.mid(29, 4), QByteArray::fromHex("01010101"));
        QCOMPARE(bytes::u8(r, 33), w.ainMode);
        QCOMPARE(bytes::f32le(r, 34), w.ainMin);
        QCOMPARE(bytes::f32le(r, 38), w.ainMax);
        QCOMPARE(bytes::f32le(r, 42), w.coef);
        QCOMPARE(bytes::u8(r, 46), w.units);
        QCOMPARE(bytes::i32le(r, 47), w.kp);
        // The new defaults are also the working motion parameters.
        QCOMPARE(c.maxSpeed(), 12.5);
        QCOMPARE(c.acceleration(), 40.0);
    }

    // Each row edits one field of a valid write and checks what the report then carries there.
    void configWriteClampsOrKeeps_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QByteArray>("expected");
        const auto with = [](auto edit) {
            Write w;
            edit(w);
            return w.bytes();
        };
        const auto f32 = [](float v) {
            QByteArray b;
            bytes::putF32le(b, 0, v);
            return b;
        };
        const auto i32 = [](qint32 v) {
            QByteArray b;
            bytes::putI32le(b, 0, v);
            return b;
        };
        const auto u8 = [](quint8 v) { return QByteArray(1, static_cast<char>(v)); };
        const float nan = std::numeric_limits<float>::quiet_NaN();
        QTest::newRow("vmin above") << "KVT318" << with([](Write& w) { w.vmin = 2000; }) << 1 << f32(1500);
        QTest::newRow("vmin zero") << "KVT318" << with([](Write& w) { w.vmin = 0; }) << 1 << f32(0.001f);
        QTest::newRow("acc NaN kept") << "KVT318" << with([&](Write& w) { w.acc = nan; }) << 9 << f32(10);
        QTest::newRow("current 120") << "KVT318" << with([](Write& w) { w.maxCurrent = 120; }) << 23
                                     << u8(100);
        QTest::newRow("current PXA") << "PXA-KVT" << with([](Write& w) { w.maxCurrent = 90; }) << 23
                                     << u8(80);
        QTest::newRow("reduced above")
            << "KVT318" << with([](Write& w) { w.redCurrent = 90; }) << 24 << u8(60);
        QTest::newRow("reduction off") << "KVT318" << with([](Write& w) { w.redCurrent = 0; }) << 24 << u8(0);
        QTest::newRow("kp 0") << "KVT318" << with([](Write& w) { w.kp = 0; }) << 47 << i32(1);
        QTest::newRow("kp 250") << "KVT318" << with([](Write& w) { w.kp = 250; }) << 47 << i32(100);
        QTest::newRow("pulses 5") << "KVT318" << with([](Write& w) { w.encoderResol = 5; }) << 13 << i32(10);
        QTest::newRow("no encoder") << "KVT318"
                                    << with([](Write& w) { w.encoderMode = 0, w.encoderResol = 77; }) << 13
                                    << i32(1000);
        QTest::newRow("SSI 2048") << "KVT318"
                                  << with([](Write& w) { w.encoderMode = 2, w.encoderResol = 2048; }) << 13
                                  << i32(256);
        QTest::newRow("1/128 KVT318")
            << "KVT318" << with([](Write& w) { w.microstep = 128; }) << 22 << u8(128);
        QTest::newRow("128 on KVT317")
            << "KVT317" << with([](Write& w) { w.microstep = 128; }) << 22 << u8(16);
        QTest::newRow("unit 7") << "KVT318" << with([](Write& w) { w.units = 7; }) << 46 << u8(0);
        QTest::newRow("motor type 6") << "KVT318" << with([](Write& w) { w.motorResol = 6; }) << 28 << u8(2);
    }

    void configWriteClampsOrKeeps() {
        QFETCH(QString, model);
        QFETCH(QByteArray, command);
        QFETCH(int, offset);
        QFETCH(QByteArray, expected);
        SimController c(model, 2.04f, "SIM");
        QCOMPARE(c.handle(command).size(), 1);
        QCOMPARE(only(c.handle(cmd(op::Configuration))).mid(offset, expected.size()).toHex(),
                 expected.toHex());
    }

    void factoryResetAndModbusLink() {
        SimController c("KVT317", 2.04f, "SIM");
        c.handle(Write().bytes());
        QCOMPARE(c.handle(QByteArray::fromHex("de0311")), QList<QByteArray>{cmd(op::SetModbusLink)});
        QCOMPARE(c.config().address, quint8(17));
        QCOMPARE(c.config().baudrate, quint8(3));
        c.handle(QByteArray::fromHex("de0521")); // both out of range: nothing changes
        QCOMPARE(c.config().address, quint8(17));
        QCOMPARE(c.config().baudrate, quint8(3));

        QCOMPARE(c.handle(cmd(op::FactoryReset)), QList<QByteArray>{cmd(op::FactoryReset)});
        QCOMPARE(c.config(), factoryConfig("KVT317", 2.04f));
        QCOMPARE(c.maxSpeed(), 5.0);
    }

    // The controller's configuration changes from elsewhere and it tells the host with the two
    // partial reports; a power cycle keeps what it stored.
    void partialReportsAndPowerCycle() {
        SimController c("KVT318", 2.04f, "SIM");
        c.handle(QByteArray::fromHex("de0311"));
        ConfigRecord changed = c.config();
        changed.encoderMode = 2;
        changed.homingMode = 1;
        changed.positionMem = 1;
        changed.homeAsLimitSw = 1;
        changed.address = 9; // not the panel's to change
        c.setConfig(changed);
        QCOMPARE(c.config().address, quint8(17));
        c.reportEncoderMode();
        c.reportHomingOptions();
        QCOMPARE(c.takeUnsolicited(),
                 (QList<QByteArray>{QByteArray::fromHex("2302"), QByteArray::fromHex("5601000101")}));
        c.powerCycle();
        QCOMPARE(c.config().encoderMode, quint8(2));
        QCOMPARE(c.config().baudrate, quint8(3));
        QCOMPARE(bytes::u8(only(c.handle(cmd(op::Configuration))), 25), quint8(1));
    }

    void acknowledgements_data() {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QByteArray>("answerCodes");
        const auto hex = [](const char* h) { return QByteArray::fromHex(h); };
        QTest::newRow("drive on") << cmd(op::DriveOn) << hex("97");
        QTest::newRow("drive off") << cmd(op::DriveOff) << hex("98");
        QTest::newRow("homing") << cmdF(op::Home, 1) << hex("a2");
        QTest::newRow("motion params") << hex("e000000000") + QByteArray(8, '\0') << hex("e0");
        QTest::newRow("set register") << hex("ea000000000a") << hex("ea");
        QTest::newRow("register out of range") << hex("ea0000000061") << hex("");
        QTest::newRow("save registers") << cmd(op::SaveRegisters) << hex("eb");
        QTest::newRow("stop") << cmd(op::Stop) << hex("");
        QTest::newRow("zero") << cmd(op::ZeroPosition) << hex("");
        QTest::newRow("go to") << cmdF(op::GoTo, 3) << hex("");
        QTest::newRow("speed") << cmdF(op::RunAtSpeed, 1) << hex("");
        QTest::newRow("move by") << cmdF(op::MoveBy, 1) << hex("");
        QTest::newRow("outputs") << cmdU8(op::SetOutputs, 1) << hex("");
        QTest::newRow("inputs") << cmdU8(op::SimulateInputs, 4) << hex("");
        QTest::newRow("preview") << cmdU8(op::ModbusPreview, 1) << hex("");
        QTest::newRow("encoder test") << cmd(op::EncoderTest) << hex("");
        QTest::newRow("registers read") << cmd(op::ReadRegisters) << hex("6a6a");
        QTest::newRow("program start") << cmd(op::ProgramStart) << hex("");
        QTest::newRow("unknown 0") << cmd(0) << hex("");
        QTest::newRow("unknown 200") << cmd(200) << hex("");
        QTest::newRow("empty") << QByteArray() << hex("");
    }

    void acknowledgements() {
        QFETCH(QByteArray, command);
        QFETCH(QByteArray, answerCodes);
        SimController c("KVT318", 2.04f, "SIM");
        c.handle(cmd(op::DriveOn));
        QByteArray codes;
        for (const QByteArray& r : c.handle(command))
            codes.append(r.at(0));
        QCOMPARE(codes.toHex(), answerCodes.toHex());
    }

    // Ten revolutions at 5 rev/s and 10 rev/s² set by 224. The start/stop speed is the stored
    // minimum speed, here its lowest value 0.001 rev/s, so the trapezoid is that of a minimum
    // speed of 0 within 0.2 ms: 0.5 s up, 1.5 s at full speed and 0.5 s down.
    void tenRevolutionMove() {
        SimController c("KVT318", 2.04f, "SIM");
        Write w;
        w.vmin = 0; // stored as 0.001
        w.units = 0;
        c.handle(w.bytes()); // incremental encoder, 2000 pulses per revolution
        QCOMPARE(c.handle(motionParams(5, 10)), QList<QByteArray>{cmd(op::SetMotionParams)});
        c.handle(cmd(op::DriveOn));
        QCOMPARE(bytes::u8(status(c), 10), motor::On);
        c.handle(cmdF(op::GoTo, 10));

        QByteArray s = status(c);
        QCOMPARE(bytes::u8(s, 10), motor::Positioning);
        QCOMPARE(bytes::f32le(s, 31), 10.0f);
        QVERIFY(qAbs(bytes::f32le(s, 35) - 2.5f) < 3e-4f);
        QVERIFY(qAbs(bytes::f32le(s, 39) - 0.5f) < 2e-4f);
        QVERIFY(qAbs(bytes::f32le(s, 47) - 1.25f) < 1e-6f);

        c.advance(1000); // 1.25 up + 2.5 at full speed
        s = status(c);
        QVERIFY(qAbs(bytes::f32le(s, 1) - 3.75f) < 0.01f);
        QVERIFY(qAbs(bytes::f32le(s, 5) - 5.0f) < 1e-3f);
        QCOMPARE(bytes::i32le(s, 27), qRound(bytes::f32le(s, 1) * 2000));

        c.advance(1490);
        QCOMPARE(bytes::u8(status(c), 10), motor::Positioning);
        c.advance(20);
        s = status(c);
        QCOMPARE(bytes::f32le(s, 1), 10.0f);
        QCOMPARE(bytes::f32le(s, 5), 0.0f);
        QCOMPARE(bytes::i32le(s, 27), 20000);
        // With an encoder the drive checks the position before it reports it reached.
        QCOMPARE(bytes::u8(s, 10), motor::PositionCorrection);
        c.advance(100);
        QCOMPARE(bytes::u8(status(c), 10), motor::PositionReached);

        // A short move never reaches full speed: a triangle.
        c.handle(cmdF(op::MoveBy, -0.4f));
        s = status(c);
        QCOMPARE(bytes::f32le(s, 31), 9.6f);
        QVERIFY(qAbs(bytes::f32le(s, 35) - 0.4f) < 3e-4f);
        QVERIFY(qAbs(bytes::f32le(s, 47) - 0.2f) < 1e-6f);
        c.advance(500);
        QCOMPARE(bytes::f32le(status(c), 1), 9.6f);
    }

    // The same move from the factory start/stop speed of 0.5 rev/s: the ramps start at 0.5, so
    // each takes 0.45 s and 1.2375 rev, and the move 2.405 s.
    void moveFromStartStopSpeed() {
        SimController c("KVT318", 2.04f, "SIM");
        QCOMPARE(c.config().defMinVel, 0.5f);
        c.handle(motionParams(5, 10));
        c.handle(cmd(op::DriveOn));
        c.handle(cmdF(op::GoTo, 10));
        QByteArray s = status(c);
        QVERIFY(qAbs(bytes::f32le(s, 35) - 2.405f) < 1e-6f);
        QVERIFY(qAbs(bytes::f32le(s, 39) - 0.45f) < 1e-6f);
        QVERIFY(qAbs(bytes::f32le(s, 47) - 1.2375f) < 1e-6f);
        c.advance(1);
        QVERIFY(qAbs(bytes::f32le(status(c), 5) - 0.5f) < 0.02f); // starts at once
        c.advance(2394);
        QCOMPARE(bytes::u8(status(c), 10), motor::Positioning);
        c.advance(20);
        s = status(c);
        QCOMPARE(bytes::u8(s, 10), motor::PositionReached); // no encoder, no correction
        QCOMPARE(bytes::f32le(s, 1), 10.0f);
    }

    void relativeMovesAddUpWhileMoving() {
        SimController c("KVT318", 2.04f, "SIM");
        c.handle(cmd(op::DriveOn));
        c.handle(cmdF(op::MoveBy, 2));
        c.advance(100);
        c.handle(cmdF(op::MoveBy, 2));
        QCOMPARE(bytes::f32le(status(c), 31), 4.0f);
    }

    void speedModeRampsAndBrakes() {
        SimController c("KVT318", 2.04f, "SIM");
        c.handle(cmd(op::DriveOn));
        c.handle(cmdF(op::RunAtSpeed, -20)); // limited to the working maximum, 5
        c.advance(1000);                     // 0.45 s from 0.5 to 5, then 0.55 s at 5
        QByteArray s = status(c);
        QCOMPARE(bytes::u8(s, 10), motor::SpeedMode);
        QCOMPARE(bytes::f32le(s, 5), -5.0f);
        QVERIFY(qAbs(bytes::f32le(s, 1) - -3.9875f) < 0.01f);

        c.handle(cmdF(op::RunAtSpeed, 0));
        c.advance(400);
        QCOMPARE(bytes::u8(status(c), 10), motor::SpeedMode);
        c.advance(100);
        QCOMPARE(bytes::u8(status(c), 10), motor::On);

        // Stop brakes at the working acceleration down to the start/stop speed; meanwhile the
        // destination shows where the motor will stand.
        c.handle(cmdF(op::RunAtSpeed, 5));
        c.advance(1000);
        const float from = bytes::f32le(status(c), 1);
        c.handle(cmd(op::Stop));
        s = status(c);
        QCOMPARE(bytes::u8(s, 10), motor::SpeedMode);
        QVERIFY(qAbs(bytes::f32le(s, 31) - (from + 1.2375f)) < 1e-4f);
        QVERIFY(qAbs(bytes::f32le(s, 35) - 0.45f) < 1e-6f);
        c.advance(440);
        QVERIFY(bytes::f32le(status(c), 5) > 0);
        c.advance(20);
        s = status(c);
        QCOMPARE(bytes::u8(s, 10), motor::On);
        QCOMPARE(bytes::f32le(s, 5), 0.0f);
        QVERIFY(qAbs(bytes::f32le(s, 1) - (from + 1.2375f)) < 0.01f);
        QCOMPARE(bytes::f32le(s, 31), bytes::f32le(s, 1));

        c.handle(cmd(op::ZeroPosition));
        QCOMPARE(bytes::f32le(status(c), 1), 0.0f);
    }

    void driveOffIgnoresMotion() {
        SimController c("KVT318", 2.04f, "SIM");
        QVERIFY(c.handle(cmdF(op::Home, 1)).isEmpty());
        c.handle(cmdF(op::GoTo, 5));
        c.handle(cmdF(op::RunAtSpeed, 5));
        c.handle(cmdF(op::MoveBy, 5));
        c.advance(1000);
        QByteArray s = status(c);
        QCOMPARE(bytes::u8(s, 10), motor::Off);
        QCOMPARE(bytes::f32le(s, 1), 0.0f);

        // Switching off during a move stops it where it is.
        c.handle(cmd(op::DriveOn));
        c.handle(cmdF(op::GoTo, 5));
        c.advance(500);
        c.handle(cmd(op::DriveOff));
        const float stoppedAt = bytes::f32le(status(c), 1);
        c.advance(1000);
        s = status(c);
        QCOMPARE(bytes::u8(s, 10), motor::Off);
        QCOMPARE(bytes::f32le(s, 1), stoppedAt);
        QVERIFY(stoppedAt > 0 && stoppedAt < 5);
    }

    // The Home1 switch sits one revolution below the power-on position; its edge becomes 0.
    void homingFindsTheSwitch() {
        SimController c("KVT318", 2.04f, "SIM");
        c.handle(cmd(op::DriveOn));
        c.handle(cmdF(op::GoTo, 7));
        c.advance(3000);
        QCOMPARE(c.handle(cmdF(op::Home, -2)), QList<QByteArray>{cmd(op::Home)});
        QCOMPARE(bytes::u8(status(c), 10), motor::Homing);
        c.advance(3900); // 8 revolutions at 2 rev/s
        QCOMPARE(bytes::u8(status(c), 10), motor::Homing);
        c.advance(200);
        QByteArray s = status(c);
        QCOMPARE(bytes::u8(s, 10), motor::PositionReached);
        QCOMPARE(bytes::f32le(s, 1), 0.0f);
        QCOMPARE(bytes::u8(s, 9) & io::Home1, 0); // standing on the edge

        // Below the switch its input is active.
        c.handle(cmdF(op::GoTo, -0.5f));
        c.advance(1000);
        QCOMPARE(bytes::u8(status(c), 9) & io::Home1, io::Home1);

        // Homing from below, upwards, finds the same edge.
        c.handle(cmd(op::ZeroPosition)); // zeroing does not move the switch
        c.handle(cmdF(op::Home, 1));
        c.advance(1000);
        s = status(c);
        QCOMPARE(bytes::u8(s, 10), motor::PositionReached);
        QCOMPARE(bytes::f32le(s, 1), 0.0f);

        // Away from the switch, homing gives up after 100 revolutions, braking.
        c.handle(cmdF(op::Home, 30000)); // limited to the working maximum, 5
        c.advance(19000);
        QCOMPARE(bytes::u8(status(c), 10), motor::Homing);
        c.advance(2000);
        s = status(c);
        QCOMPARE(bytes::u8(s, 10), motor::On);
        QVERIFY(bytes::f32le(s, 1) > 100);

        // A simulated home input ends homing at once.
        c.handle(cmdF(op::Home, 2));
        c.advance(100);
        c.handle(cmdU8(op::SimulateInputs, io::Home1));
        c.advance(1);
        QCOMPARE(bytes::u8(status(c), 10), motor::PositionReached);
    }

    void faultsHoldUntilTheDriveIsSwitched() {
        SimController c("KVT318", 2.04f, "SIM");
        c.handle(cmd(op::DriveOn));
        c.handle(cmdF(op::RunAtSpeed, 3));
        c.advance(500);
        c.injectFault(DriveFault::Overload);
        QByteArray s = status(c);
        QCOMPARE(bytes::u8(s, 10), motor::Overload);
        QCOMPARE(bytes::f32le(s, 5), 0.0f);
        c.handle(cmdF(op::GoTo, 50)); // refused
        c.advance(500);
        QCOMPARE(bytes::u8(status(c), 10), motor::Overload);
        QCOMPARE(bytes::f32le(status(c), 5), 0.0f);
        c.handle(cmd(op::DriveOn));
        QCOMPARE(bytes::u8(status(c), 10), motor::On);

        c.injectFault(DriveFault::PositionError);
        QCOMPARE(bytes::u8(status(c), 10), motor::PositionError);
        c.handle(cmd(op::DriveOff));
        QCOMPARE(bytes::u8(status(c), 10), motor::Off);
        QCOMPARE(c.fault(), DriveFault::None);
    }

    // Analog input set to speed: with Run active the motor follows the 0-10 V input.
    void analogSpeedMode() {
        SimController c("KVT318", 2.04f, "SIM");
        Write w;
        w.ainMode = 1;
        w.ainMin = 0;
        w.ainMax = 4;
        w.startStop = 0;
        c.handle(w.bytes());
        c.setAnalogMv(5000); // 2 rev/s
        c.handle(cmd(op::DriveOn));
        c.advance(100);
        QCOMPARE(bytes::u8(status(c), 10), motor::On);
        c.handle(cmdU8(op::SimulateInputs, io::Run));
        c.advance(1000);
        QByteArray s = status(c);
        QCOMPARE(bytes::u8(s, 10), motor::AnalogSpeed);
        QCOMPARE(bytes::f32le(s, 5), 2.0f);
        c.setAnalogMv(2500);
        c.advance(1000);
        QCOMPARE(bytes::f32le(status(c), 5), 1.0f);
        c.handle(cmdU8(op::SimulateInputs, 0));
        c.advance(1000);
        s = status(c);
        QCOMPARE(bytes::u8(s, 10), motor::On);
        QCOMPARE(bytes::f32le(s, 5), 0.0f);
    }

    // Readings nobody set drift a little; a reading set stays exactly as set.
    void readingsDriftUnlessSet() {
        SimController c("KVT318", 2.04f, "SIM");
        c.handle(cmd(op::DriveOn));
        QSet<qint32> temperatures;
        QSet<quint32> supplies;
        for (int i = 0; i < 150; ++i) {
            c.advance(2000);
            const QByteArray s = status(c);
            temperatures << bytes::i32le(s, 15);
            supplies << bytes::u32le(s, 23);
            QVERIFY(bytes::i32le(s, 15) >= 34 + 25 && bytes::i32le(s, 15) <= 42 + 25);
            QVERIFY(bytes::u32le(s, 23) >= 23800 && bytes::u32le(s, 23) <= 24200);
        }
        QVERIFY(temperatures.size() > 2);
        QVERIFY(supplies.size() > 5);
        c.setTemperature(70);
        c.setSupplyMv(36001);
        c.advance(5000);
        QCOMPARE(bytes::i32le(status(c), 15), 95);
        QCOMPARE(bytes::u32le(status(c), 23), 36001u);
    }
    void inputsOutputsAndReadings() {
        SimController c("KVT318", 2.04f, "SIM");
        c.handle(cmdU8(op::SetOutputs, 0xFE));     // only Out2 of the two output bits
        c.handle(cmdU8(op::SimulateInputs, 0xC9)); // Run and In2 of the six inputs
        c.setTemperature(50);
        c.setSupplyMv(11999);
        c.setAnalogMv(5432);
        const QByteArray s = status(c);
        QCOMPARE(s.size(), 51);
        QCOMPARE(bytes::u8(s, 9), quint8(0x89));
        QCOMPARE(bytes::i32le(s, 15), 75);
        QCOMPARE(bytes::u32le(s, 19), 5432u);
        QCOMPARE(bytes::u32le(s, 23), 11999u);

        // The Stop input halts the motor and says so.
        c.handle(cmd(op::DriveOn));
        c.handle(cmdF(op::RunAtSpeed, 2));
        c.advance(100);
        QCOMPARE(c.handle(cmdU8(op::SimulateInputs, io::StopIn)), QList<QByteArray>{cmd(op::Stopped)});
        QVERIFY(bytes::f32le(status(c), 5) > 0); // braking
        c.advance(200);
        QCOMPARE(bytes::f32le(status(c), 5), 0.0f);
        QCOMPARE(bytes::i32le(status(c), 15), 75); // readings set stay as set
        QCOMPARE(bytes::u32le(status(c), 23), 11999u);
        QVERIFY(c.handle(cmdU8(op::SimulateInputs, io::StopIn)).isEmpty()); // no new edge
    }

    void programTransferAndReadBack() {
        SimController c("KVT318", 2.04f, "SIM");
        const auto request = [](int index) {
            QByteArray b = cmd(op::ProgramRecord);
            bytes::putU16be(b, 1, static_cast<quint16>(index));
            return b;
        };
        const auto record = [&request](int index) {
            return request(index) + QByteArray(10, static_cast<char>(0x10 + index));
        };
        QCOMPARE(c.handle(QByteArray::fromHex("e50003")), QList<QByteArray>{request(0)});
        QVERIFY(c.handle(record(1)).isEmpty()); // not the one asked for
        QCOMPARE(c.handle(record(0)), QList<QByteArray>{request(1)});
        QCOMPARE(c.handle(record(1)), QList<QByteArray>{request(2)});
        QCOMPARE(c.programLength(), 0); // stored only when complete
        QCOMPARE(c.handle(record(2)), QList<QByteArray>{request(3)});
        QCOMPARE(c.programLength(), 3);
        QCOMPARE(c.programRecord(2), QByteArray(10, 0x12));

        QCOMPARE(c.handle(cmd(op::ProgramReadLength)), QList<QByteArray>{QByteArray::fromHex("670003")});
        for (int i = 0; i <= 3; ++i) {
            const QByteArray r = only(c.handle(cmd(op::ProgramReadNext)));
            QCOMPARE(bytes::u16be(r, 1), quint16(i));
            QCOMPARE(r.mid(3), i < 3 ? QByteArray(10, static_cast<char>(0x10 + i)) : QByteArray(10, '\0'));
        }
        QVERIFY(c.handle(QByteArray::fromHex("e5012d")).isEmpty()); // 301 commands do not fit
    }

    void programRunState() {
        SimController c("KVT318", 2.04f, "SIM");
        const auto state = [&c] { return bytes::u8(only(c.handle(cmd(op::ProgramRunState))), 1); };
        c.handle(cmd(op::ProgramStart));
        QCOMPARE(state(), quint8(0)); // nothing stored
        c.handle(QByteArray::fromHex("e50001"));
        c.handle(QByteArray::fromHex("e60000") + QByteArray(10, 1));
        c.handle(cmd(op::ProgramStart));
        QCOMPARE(state(), quint8(1));
        c.handle(cmd(op::ProgramPause));
        QCOMPARE(state(), quint8(3));
        c.handle(cmd(op::Stop));
        QCOMPARE(state(), quint8(0));
    }

    void registersAndPowerCycle() {
        SimController c("KVT318", 2.04f, "SIM");
        c.handle(QByteArray::fromHex("ea00003f8000")); // R50 = 1.0
        c.handle(QByteArray::fromHex("ea0000c0205c")); // R96 = -2.5
        QCOMPARE(c.registerPair(50), 0x3F800000u);
        const QList<QByteArray> r = c.handle(cmd(op::ReadRegisters));
        QCOMPARE(r.size(), 2);
        QCOMPARE(r[0].left(6), QByteArray::fromHex("6a0000003f80"));
        QCOMPARE(r[0].size(), 62);
        QCOMPARE(r[1].mid(2 + 4 * 8, 4), QByteArray::fromHex("0000c020"));
        QCOMPARE(r[1].size(), 42);

        c.handle(cmd(op::SaveRegisters));
        c.handle(QByteArray::fromHex("ea0000000000")); // R50 = 0, not saved
        c.handle(cmd(op::DriveOn));
        c.handle(cmdF(op::GoTo, 1));
        c.advance(2000);
        c.powerCycle();
        QCOMPARE(c.registerPair(50), 0x3F800000u);
        QVERIFY(!c.driveOn());
        QCOMPARE(bytes::f32le(status(c), 1), 0.0f);

        Write w;
        w.positionMem = 1; // keep the position over a power-off
        c.handle(w.bytes());
        c.handle(cmd(op::DriveOn));
        c.handle(cmdF(op::GoTo, 1));
        c.advance(2000);
        c.powerCycle();
        QCOMPARE(bytes::f32le(status(c), 1), 1.0f);
        QCOMPARE(c.config().kp, 42);
    }

    void encoderTestReportsCountAndVerdict() {
        SimController c("KVT318", 2.04f, "SIM");
        c.handle(cmd(op::EncoderTest));
        c.advance(1000);
        QList<QByteArray> out = c.takeUnsolicited();
        QCOMPARE(out.size(), 10);
        QCOMPARE(out.last(), QByteArray::fromHex("5b0000000002")); // no encoder: no signal

        c.handle(Write().bytes()); // incremental, 2000 pulses
        c.handle(cmd(op::EncoderTest));
        c.advance(550);
        out = c.takeUnsolicited();
        QCOMPARE(out.size(), 5);
        QCOMPARE(out.last(), QByteArray::fromHex("5ae8030000")); // 1000 after half a revolution
        c.advance(450);
        out = c.takeUnsolicited();
        QCOMPARE(out.last(), QByteArray::fromHex("5bd007000000"));
        QVERIFY(c.takeUnsolicited().isEmpty());

        c.setEncoderWiring(EncoderTest::ChannelsSwapped);
        c.handle(cmd(op::EncoderTest));
        c.advance(5000);
        QCOMPARE(c.takeUnsolicited().last(), QByteArray::fromHex("5b30f8ffff01"));
    }

    void modbusPreview() {
        SimController c("KVT318", 2.04f, "SIM");
        c.receiveModbusFrame(QByteArray::fromHex("0103"));
        QVERIFY(c.takeUnsolicited().isEmpty()); // preview off
        c.handle(cmdU8(op::ModbusPreview, 1));
        c.receiveModbusFrame(QByteArray::fromHex("0103003200"));
        QCOMPARE(c.takeUnsolicited(), QList<QByteArray>{QByteArray::fromHex("57050103003200")});
        c.handle(cmdU8(op::ModbusPreview, 2));
        c.advance(1000);
        QCOMPARE(c.takeUnsolicited().size(), 2); // both halves, once a second
    }
};

QTEST_GUILESS_MAIN(TestSimController)
#include "test_sim_controller.moc"
