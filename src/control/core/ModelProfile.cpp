// SPDX-License-Identifier: GPL-3.0-or-later
#include "control/core/ModelProfile.h"

#include "config/core/ConfigRecord.h"

namespace kvt::control {

namespace {

// The PXA-KVT's current stops at 80 %; with 5 A at full scale its top is 4 A, the ceiling of the
// KVT318, and the shown current never depends on a model connected before.
constexpr double PxaFullScaleCurrent = 5.0;
constexpr int PxaCurrentCeiling = 80;

// What the KVT318 and the KVT317, both motor drives with an incremental encoder, share.
ModelProfile motorDrive(Model model) {
    ModelProfile p;
    p.encoderResolutionEntry = true;
    // The PXA-KVT names this choice otherwise: the other models put their own caption back.
    p.encoderCaption = QStringLiteral("Enkoder inkrementalny");
    p.stopInputCaption = QStringLiteral("Stop");
    p.autoFunctionSpeed = QStringLiteral("1");
    p.stepDivisions = config::stepDivisionItems(model);
    return p;
}

} // namespace

QList<ControlText> modelUnitLabels(const ModelProfile& profile) {
    const bool linear = profile.linearAxis;
    const auto row = [linear](const char* name, const char* revolutions, const char* millimetres) {
        return ControlText{QString::fromLatin1(name), QString::fromUtf8(linear ? millimetres : revolutions)};
    };
    return {
        row("GroupBoxSpeedSets", "Prędkosc zadana [obr/s]", "Prędkosc zadana [mm/s]"),
        row("GroupBox_PosSets", "Pozycja zadana [obr]", "Pozycja zadana [mm]"),
        row("Label_SpeedMax", "Prędkosc maks [obr/s]", "Prędkosc maks [mm/s]"),
        row("Label_Acc", "Przyspieszenie [obr/sek2]", "Przyspieszenie [mm/sek2]"),
        row("Label_HomeSpeed", "Prędkosc [obr/sek]", "Prędkosc [mm/sek]"),
        row("Label_SpeedActual", "Prędkosc aktualna [obr/s]", "Prędkosc aktualna [mm/s]"),
        row("Label_PosActual", "Pozycja aktualna [obr]", "Pozycja aktualna [mm]"),
        row("Label_PosDest", "Pozycja docelowa [obr]", "Pozycja docelowa [mm]"),
        row("Label_ConfigSpeedMin", "Prędkosc min. [obr/s]", "Prędkosc min. [mm/s]"),
        row("Label_ConfigSpeedMax", "Prędkosc maks.[obr/s]", "Prędkosc maks.[mm/s]"),
        row("Label_ConfigAcc", "Przyspieszenie [obr/s^2]", "Przyspieszenie [mm/s^2]"),
        row("Labe_lAutoFunc1_Speed", "Prędkosc [obr/s]", "Prędkosc [mm/s]"),
    };
}

ModelProfile profileFor(Model model) {
    ModelProfile p;
    switch (model) {
    case Model::Kvt318:
        p = motorDrive(model);
        p.fullScaleCurrent = 4.0;
        p.absoluteEncoder = true;
        p.supplyVoltage = true;
        p.input1Caption = QStringLiteral("In1");
        p.input2Caption = QStringLiteral("In2");
        break;
    case Model::Kvt317:
        p = motorDrive(model);
        p.fullScaleCurrent = 3.0;
        p.absoluteEncoder = false;
        p.supplyVoltage = false;
        // Its encoder shares the pins of the two general inputs.
        p.input1Caption = QStringLiteral("EncA");
        p.input2Caption = QStringLiteral("EncB");
        break;
    case Model::PxaKvt:
        p.displayDecimals = 1;
        p.fullScaleCurrent = PxaFullScaleCurrent;
        p.currentCeiling = PxaCurrentCeiling;
        p.startByInput = false;
        p.positionMemory = false;
        p.motorResolutionSelectable = false;
        p.encoderResolutionLabel = false;
        p.absoluteEncoder = false;
        p.encoderCaption = QStringLiteral("Enkoder absolutny");
        p.stopInputCaption = QStringLiteral("In3");
        p.modbusAddressSelectable = false;
        p.autoFunctionSpeed = QStringLiteral("100");
        p.linearAxis = true;
        break;
    }
    return p;
}

} // namespace kvt::control
