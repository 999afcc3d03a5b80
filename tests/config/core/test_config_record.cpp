// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/core/ConfigRecord.h"
#include "config/core/ModbusLink.h"

#include <QTest>

using namespace kvt;
using namespace kvt::config;

class TestConfigRecord : public QObject {
    Q_OBJECT
private slots:
    // A configuration report written out byte by byte, with signed bytes and odd values where the
    // layout has them.
    void decodesEveryFieldAtItsOffset() {
        const QByteArray report = QByteArray::fromHex("63"         // 0: code 99
                                                      "0000003f"   // 1: DefMinVel 0.5
                                                      "00004841"   // 5: DefMaxVel 12.5
                                                      "0000c842"   // 9: DefAcc 100
                                                      "00080000"   // 13: EncoderResol 2048
                                                      "02"         // 17: EncoderMode
                                                      "5c8f0240"   // 18: FirmwareVersion 2.04
                                                      "28"         // 22: Microstep 40
                                                      "78"         // 23: MaxCurrent 120
                                                      "9c"         // 24: RedCurrent -100
                                                      "02"         // 25: HomingMode
                                                      "14"         // 26: Address 20
                                                      "ff"         // 27: Baudrate -1
                                                      "fe"         // 28: MotorResol -2
                                                      "07000101"   // 29..32: options
                                                      "85"         // 33: AinMode -123
                                                      "000020c0"   // 34: AinMinVal -2.5
                                                      "00002041"   // 38: AinMaxVal 10
                                                      "cdcccc3d"   // 42: RevToLinCoef 0.1
                                                      "07"         // 46: Units
                                                      "fdffffff"); // 47: Kp -3
        QCOMPARE(report.size(), 51);
        const ConfigReport r = decodeConfigReport(report);
        QCOMPARE(r.DefMinVel, 0.5f);
        QCOMPARE(r.DefMaxVel, 12.5f);
        QCOMPARE(r.DefAcc, 100.0f);
        QCOMPARE(r.EncoderResol, 2048);
        QCOMPARE(r.EncoderMode, quint8(2));
        QCOMPARE(r.FirmwareVersion, 2.04f);
        QCOMPARE(r.Microstep, quint8(40));
        QCOMPARE(r.MaxCurrent, qint8(120));
        QCOMPARE(r.RedCurrent, qint8(-100));
        QCOMPARE(r.HomingMode, quint8(2));
        QCOMPARE(r.Address, qint8(20));
        QCOMPARE(r.Baudrate, qint8(-1));
        QCOMPARE(r.MotorResol, qint8(-2));
        QCOMPARE(r.OffAfterError, quint8(7));
        QCOMPARE(r.PositionMem, quint8(0));
        QCOMPARE(r.HomieAsLimitSw, quint8(1));
        QCOMPARE(r.StartStopMode, quint8(1));
        QCOMPARE(r.AinMode, qint8(-123));
        QCOMPARE(r.AinMinVal, -2.5f);
        QCOMPARE(r.AinMaxVal, 10.0f);
        QCOMPARE(r.RevToLinCoef, 0.1f);
        QCOMPARE(r.Units, qint8(7));
        QCOMPARE(r.Kp, -3);

        // A short report reads as zeros past its end instead of reading out of bounds.
        const ConfigReport shortReport = decodeConfigReport(report.left(23));
        QCOMPARE(shortReport.Microstep, quint8(40));
        QCOMPARE(shortReport.MaxCurrent, qint8(0));
        QCOMPARE(shortReport.Kp, 0);
    }

    void decodesPartialReports() {
        QCOMPARE(decodeEncoderModeReport(QByteArray::fromHex("2302")).EncoderMode, quint8(2));
        const HomingOptionsReport h = decodeHomingOptionsReport(QByteArray::fromHex("5601000300"));
        QCOMPARE(h.HomingMode, quint8(1));
        QCOMPARE(h.OffAfterError, quint8(0));
        QCOMPARE(h.PositionMem, quint8(3));
        QCOMPARE(h.HomieAsLimitSw, quint8(0));
    }

    void encodesWriteInItsOwnLayout() {
        ConfigWrite w;
        w.MaxCurrent = 60;
        w.RedCurrent = 30;
        w.Microstep = 128;
        w.MotorResol = 4;
        w.DefMinVel = 0.5f;
        w.DefMaxVel = 12.5f;
        w.DefAcc = 100.0f;
        w.EncoderResol = 4096;
        w.EncoderMode = 2;
        w.HomingMode = 1;
        w.OffAfterError = 1;
        w.PositionMem = 0;
        w.HomieAsLimitSw = 1;
        w.StartStopMode = 1;
        w.AinMode = 2;
        w.AinMinVal = -2.5f;
        w.AinMaxVal = 10.0f;
        w.RevToLinCoef = 0.1f;
        w.Units = 3;
        w.Kp = 100;
        const QByteArray expected = QByteArray::fromHex("ec"        // 0: code 236
                                                        "3c1e8004"  // 1..4: currents, step, motor
                                                        "0000003f"  // 5: DefMinVel
                                                        "00004841"  // 9: DefMaxVel
                                                        "0000c842"  // 13: DefAcc
                                                        "00100000"  // 17: EncoderResol
                                                        "02"        // 21: EncoderMode
                                                        "01"        // 22: HomingMode
                                                        "01000101"  // 23..26: options
                                                        "02"        // 27: AinMode
                                                        "000020c0"  // 28: AinMinVal
                                                        "00002041"  // 32: AinMaxVal
                                                        "cdcccc3d"  // 36: RevToLinCoef
                                                        "03"        // 40: Units
                                                        "64000000") // 41: Kp
                                    + QByteArray(18, '\0');         // 45..62 unassigned
        QCOMPARE(encodeConfigWrite(w).toHex(), expected.toHex());
        QCOMPARE(encodeConfigWrite(ConfigWrite{}).size(), ConfigWriteLength);
        QCOMPARE(factoryResetCommand().toHex(), QByteArray("dd"));
        QCOMPARE(readConfigCommand().toHex(), QByteArray("63"));
    }

    // The code follows the list position, so the shorter KVT317 list sends 40 for "1/64".
    void stepDivisionCodesFollowListPosition() {
        const QStringList kvt317 = stepDivisionItems(Model::Kvt317);
        QCOMPARE(kvt317.indexOf("1/64"), 6);
        QCOMPARE(microstepCode(6), std::optional<quint8>(40));
        QCOMPARE(microstepPosition(40), std::optional<int>(6));
        QCOMPARE(microstepPosition(64), std::optional<int>(7));
        QCOMPARE(kvt317.at(7), QString("1/128"));

        const QStringList kvt318 = stepDivisionItems(Model::Kvt318);
        QCOMPARE(kvt318.size(), 9);
        QCOMPARE(kvt318.indexOf("1/128"), 8);
        QCOMPARE(microstepCode(8), std::optional<quint8>(128));
        QCOMPARE(microstepPosition(128), std::optional<int>(8));

        const QStringList initial = stepDivisionItems(std::nullopt);
        QCOMPARE(initial, stepDivisionItems(Model::PxaKvt));
        QCOMPARE(initial.size(), 8);
        QCOMPARE(initial.at(InitialStepDivision), QString("1/20"));
        QCOMPARE(microstepPosition(4), std::nullopt);
    }

    void modbusLinkCommand() {
        QCOMPARE(encodeModbusLink(4, 31).toHex(), QByteArray("de0420")); // 115200, address 32
        QCOMPARE(encodeModbusLink(0, 0).toHex(), QByteArray("de0001"));
    }

    // A report selects addresses 1..16 and rate codes 0..3 only, though 222 sets more; anything
    // else, negative bytes included, leaves the selection alone.
    void modbusLinkFromReport() {
        QCOMPARE(modbusAddressIndexFromReport(1), std::optional(0));
        QCOMPARE(modbusAddressIndexFromReport(16), std::optional(15));
        for (const qint8 address : {0, 17, 32, -3})
            QCOMPARE(modbusAddressIndexFromReport(address), std::nullopt);
        QCOMPARE(modbusRateIndexFromReport(0), std::optional(0));
        QCOMPARE(modbusRateIndexFromReport(3), std::optional(3));
        for (const qint8 rate : {4, -1})
            QCOMPARE(modbusRateIndexFromReport(rate), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TestConfigRecord)
#include "test_config_record.moc"
