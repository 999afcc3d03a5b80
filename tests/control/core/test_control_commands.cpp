// SPDX-License-Identifier: GPL-3.0-or-later
// Direct motion commands, the motion parameters, the model profile and the unit labels.
#include "control/core/LiveStatus.h"
#include "control/core/ModelProfile.h"
#include "control/core/MotionCommands.h"
#include "control/core/Units.h"

#include <QSet>
#include <QTest>

using namespace kvt;
using namespace kvt::control;

namespace {

const fmt::Separators Comma{QLatin1Char(','), QLatin1Char(' ')};
const fmt::Separators Point{QLatin1Char('.'), QLatin1Char(',')};

QByteArray floatCommand(const FloatCommand& c, double typed) {
    return encodeFloatCommand(c.code, limitToRange(typed, c.lower, c.upper));
}

} // namespace

class TestControlCommands : public QObject {
    Q_OBJECT
private slots:
    void floatCommandsClampAndEncode_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<double>("typed");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("home 50000 -> 30000") << 3 << 50000.0 << QByteArray::fromHex("a20060ea46");
        QTest::newRow("home -30000.5 -> -30000") << 3 << -30000.5 << QByteArray::fromHex("a20060eac6");
        QTest::newRow("go to -2e9 -> -1e8") << 1 << -2e9 << QByteArray::fromHex("8320bcbecc");
        QTest::newRow("go to 1e8 kept") << 1 << 1e8 << QByteArray::fromHex("8320bcbe4c");
        QTest::newRow("speed 1.5") << 0 << 1.5 << QByteArray::fromHex("840000c03f");
        QTest::newRow("speed 1e7 -> 9999999") << 0 << 1e7 << QByteArray::fromHex("847f96184b");
        QTest::newRow("move -1e30 -> -9999999") << 2 << -1e30 << QByteArray::fromHex("877f9618cb");
        QTest::newRow("move 12.5") << 2 << 12.5 << QByteArray::fromHex("8700004841");
    }
    void floatCommandsClampAndEncode() {
        QFETCH(int, command);
        QFETCH(double, typed);
        QFETCH(QByteArray, bytes);
        const QList<FloatCommand> all{RunAtSpeedCommand, GoToCommand, MoveByCommand, HomeCommand};
        QCOMPARE(floatCommand(all[command], typed), bytes);
    }

    void oneByteCommands() {
        QCOMPARE(encodeCode(op::Stop), QByteArray::fromHex("9d"));
        QCOMPARE(encodeCode(op::DriveOn), QByteArray::fromHex("97"));
        QCOMPARE(encodeCode(op::DriveOff), QByteArray::fromHex("98"));
        QCOMPARE(encodeCode(op::ZeroPosition), QByteArray::fromHex("d9"));
    }

    void togglesInvertOneBit() {
        // Out1 off and Out2 on: toggling Out1 asks for both on.
        QCOMPARE(encodeOutputToggle(output::Out2, 0), QByteArray::fromHex("9503"));
        QCOMPARE(encodeOutputToggle(output::Out1 | output::Out2, 1), QByteArray::fromHex("9501"));
        // Only Run active: simulating In2 sends Run and In2.
        QCOMPARE(encodeInputToggle(0x01, 3), QByteArray::fromHex("9609"));
        QCOMPARE(encodeInputToggle(0x3F, 5), QByteArray::fromHex("961f"));
        QCOMPARE(encodeInputToggle(0x00, 0), QByteArray::fromHex("9601"));
    }

    void motionParameters() {
        QCOMPARE(limitMotionParam(0), 0.0001);
        QCOMPARE(limitMotionParam(-5), 0.0001);
        QCOMPARE(limitMotionParam(5000000), 1000000.0);
        QCOMPARE(limitMotionParam(12.5), 12.5);
        QCOMPARE(encodeMotionParams(float(limitMotionParam(0)), float(limitMotionParam(5000000))),
                 QByteArray::fromHex("e0"
                                     "00000000"
                                     "17b7d138"
                                     "00247449"));
        // Written back with the display precision: four decimals do not fit in three.
        QCOMPARE(motionParamText(0.0001, 3, Point), QStringLiteral("0.000"));
        QCOMPARE(motionParamText(1000000, 3, Comma), QStringLiteral("1000000,000"));
    }

    void unitLabelsRebuilt() {
        const QList<ControlText> mm = unitLabels(QStringLiteral("mm"));
        QCOMPARE(mm.size(), 12);
        QCOMPARE(mm[0], (ControlText{"Label_SpeedActual", "Prędkosc aktualna [mm/s]"}));
        QCOMPARE(mm[1], (ControlText{"Label_PosActual", "Pozycja aktualna [mm]"}));
        QCOMPARE(mm[4], (ControlText{"Label_Acc", "Przyspieszenie [mm/s^2]"}));
        QCOMPARE(mm[7], (ControlText{"Label_ConfigSpeedMax", "Prędkosc maks. [mm/s]"}));
        QCOMPARE(mm[9], (ControlText{"Labe_lAutoFunc1_Speed", "Prędkosc [mm/s]"}));
        QCOMPARE(mm[11], (ControlText{"GroupBox_PosSets", "Pozycja zadana [mm]"}));
        QCOMPARE(unitLabels(QStringLiteral("obr."))[0].text, QStringLiteral("Prędkosc aktualna [obr./s]"));
        QCOMPARE(unitItems(), (QStringList{"obr.", "mm", "cm", "m"}));
        QCOMPARE(decimalsItems(), (QStringList{"0", "1", "2", "3", "4"}));
    }

    // The model sets name the same twelve controls as the rebuilt set, with their own texts.
    void modelUnitLabelsDifferFromRebuilt() {
        QSet<QString> rebuilt;
        for (const ControlText& t : unitLabels(QStringLiteral("obr.")))
            rebuilt << t.objectName;
        for (const Model m : {Model::Kvt318, Model::PxaKvt}) {
            QSet<QString> model;
            for (const ControlText& t : modelUnitLabels(profileFor(m)))
                model << t.objectName;
            QCOMPARE(model, rebuilt);
        }
        QCOMPARE(modelUnitLabels(profileFor(Model::PxaKvt))[2], (ControlText{"Label_SpeedMax", "Prędkosc maks [mm/s]"}));
        QCOMPARE(modelUnitLabels(profileFor(Model::Kvt317))[6], (ControlText{"Label_PosActual", "Pozycja aktualna [obr]"}));
    }

    void kvt317AfterKvt318() {
        const ModelProfile a = profileFor(Model::Kvt318);
        const ModelProfile b = profileFor(Model::Kvt317);
        QVERIFY(a.absoluteEncoder && !b.absoluteEncoder);
        QCOMPARE(a.supplyVoltage, std::optional<bool>(true));
        QCOMPARE(b.supplyVoltage, std::optional<bool>(false));
        QVERIFY(a.stepDivisions->contains("1/40"));
        QCOMPARE(*b.stepDivisions, (QStringList{"1/2", "1/8", "1/10", "1/16", "1/20", "1/32", "1/64", "1/128"}));
        QCOMPARE(b.input1Caption, std::optional<QString>("EncA"));
        QCOMPARE(a.input2Caption, std::optional<QString>("In2"));
        QCOMPARE(a.fullScaleCurrent, 4.0);
        QCOMPARE(b.fullScaleCurrent, 3.0);
        QCOMPARE(a.currentCeiling, 100);
        QCOMPARE(a.displayDecimals, 3);
    }

    void pxaKeepsUnchangedControls() {
        const ModelProfile p = profileFor(Model::PxaKvt);
        QCOMPARE(p.displayDecimals, 1);
        // 80 % of 5 A: the KVT318's 4 A ceiling.
        QCOMPARE(p.currentCeiling * p.fullScaleCurrent / 100, 4.0);
        QCOMPARE(p.encoderCaption, QStringLiteral("Enkoder absolutny"));
        QCOMPARE(p.stopInputCaption, QStringLiteral("In3"));
        QCOMPARE(p.autoFunctionSpeed, QStringLiteral("100"));
        QVERIFY(!p.modbusAddressSelectable && !p.startByInput && !p.positionMemory && p.encoderTest);
        QVERIFY(p.linearAxis);
        // Facts the PXA-KVT leaves as they are, and captions it changes that each other model
        // puts back, so none stays after it.
        QVERIFY(!p.encoderResolutionEntry && !p.supplyVoltage && !p.stepDivisions && !p.input1Caption);
        for (const Model m : {Model::Kvt318, Model::Kvt317}) {
            const ModelProfile other = profileFor(m);
            QCOMPARE(other.encoderCaption, QStringLiteral("Enkoder inkrementalny"));
            QCOMPARE(other.stopInputCaption, QStringLiteral("Stop"));
            QCOMPARE(other.autoFunctionSpeed, QStringLiteral("1"));
            QVERIFY(!other.linearAxis);
        }
    }
};

QTEST_GUILESS_MAIN(TestControlCommands)
#include "test_control_commands.moc"
