// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated drive in motion: moves and their ramps, speed mode, homing, faults, the analog
// speed input, the inputs and outputs and the readings of its live status.
#include "SimCommands.h"

#include <QSet>
#include <QTest>

using namespace kvt;
using namespace kvt::sim;
using namespace testing::sim;
namespace bytes = kvt::bytes;

class TestSimMotion : public QObject {
    Q_OBJECT
private slots:
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

};

QTEST_GUILESS_MAIN(TestSimMotion)
#include "test_sim_motion.moc"
