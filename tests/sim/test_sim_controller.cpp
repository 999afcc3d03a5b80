// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated controller's answers to the host: identity, the configuration it stores and
// reports, acknowledgements, the program memory, user registers, encoder test and Modbus preview.
#include "SimCommands.h"

#include <QTest>
#include <limits>

using namespace kvt;
using namespace kvt::sim;
using namespace testing::sim;
namespace bytes = kvt::bytes;

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
