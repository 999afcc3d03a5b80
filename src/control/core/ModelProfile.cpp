// SPDX-License-Identifier: GPL-3.0-or-later
#include "control/core/ModelProfile.h"

namespace kvt::control {

namespace {

// The PXA-KVT's slider stops at 80 %; with 5 A at full scale its top is 4 A, the ceiling of the
// KVT318, and the shown current never depends on a model connected before.
constexpr double PxaFullScaleCurrent = 5.0;

ControlSetting visible(const char* name, bool on) {
    ControlSetting s;
    s.objectName = QString::fromLatin1(name);
    s.visible = on;
    return s;
}

ControlSetting enabled(const char* name, bool on) {
    ControlSetting s;
    s.objectName = QString::fromLatin1(name);
    s.enabled = on;
    return s;
}

ControlSetting text(const QString& name, const QString& value) {
    ControlSetting s;
    s.objectName = name;
    s.text = value;
    return s;
}

ControlSetting text(const char* name, const char* value) {
    return text(QString::fromLatin1(name), QString::fromUtf8(value));
}

ControlSetting items(const char* name, const QStringList& list) {
    ControlSetting s;
    s.objectName = QString::fromLatin1(name);
    s.items = list;
    return s;
}

ControlSetting maximum(const char* name, int value) {
    ControlSetting s;
    s.objectName = QString::fromLatin1(name);
    s.maximum = value;
    return s;
}

QStringList stepDivisions(bool withFortieth) {
    QStringList list{QStringLiteral("1/2"),  QStringLiteral("1/8"),  QStringLiteral("1/10"),
                     QStringLiteral("1/16"), QStringLiteral("1/20"), QStringLiteral("1/32")};
    if (withFortieth)
        list << QStringLiteral("1/40");
    list << QStringLiteral("1/64") << QStringLiteral("1/128");
    return list;
}

// The settings the KVT318 and the KVT317 share, in the order they are applied.
QList<ControlSetting> motorDriveSettings() {
    QList<ControlSetting> s{
        maximum("ScrollBar_Current", 100),    visible("cb_InStartStopMode", true),
        enabled("ComboBox_ModbusAdr", true),  visible("cb_AutoSavePos", true),
        enabled("ComboBox_MotorResol", true), enabled("Label_MotorResol", true),
        visible("btn_EncoderTest", true),     visible("Edit_EncResol", true),
        visible("label_encres", true),        visible("LabelTemp", true),
        visible("label_UcTemp", true),        text("LabelInStop", "Stop"),
        text("Edit_AF_Speed", "1"),
    };
    // The PXA-KVT names this button otherwise: the other models put their own caption back.
    s << text("RadioButton_EncINKR", "Enkoder inkrementalny");
    for (const ControlText& label : modelUnitLabels(Model::Kvt318))
        s << text(label.objectName, label.text);
    return s;
}

} // namespace

QList<ControlText> modelUnitLabels(Model model) {
    const bool linear = model == Model::PxaKvt;
    const auto row = [](const char* name, const char* revolutions, const char* millimetres, bool mm) {
        return ControlText{QString::fromLatin1(name), QString::fromUtf8(mm ? millimetres : revolutions)};
    };
    return {
        row("GroupBoxSpeedSets", "Prędkosc zadana [obr/s]", "Prędkosc zadana [mm/s]", linear),
        row("GroupBox_PosSets", "Pozycja zadana [obr]", "Pozycja zadana [mm]", linear),
        row("Label_SpeedMax", "Prędkosc maks [obr/s]", "Prędkosc maks [mm/s]", linear),
        row("Label_Acc", "Przyspieszenie [obr/sek2]", "Przyspieszenie [mm/sek2]", linear),
        row("Label_HomeSpeed", "Prędkosc [obr/sek]", "Prędkosc [mm/sek]", linear),
        row("Label_SpeedActual", "Prędkosc aktualna [obr/s]", "Prędkosc aktualna [mm/s]", linear),
        row("Label_PosActual", "Pozycja aktualna [obr]", "Pozycja aktualna [mm]", linear),
        row("Label_PosDest", "Pozycja docelowa [obr]", "Pozycja docelowa [mm]", linear),
        row("Label_ConfigSpeedMin", "Prędkosc min. [obr/s]", "Prędkosc min. [mm/s]", linear),
        row("Label_ConfigSpeedMax", "Prędkosc maks.[obr/s]", "Prędkosc maks.[mm/s]", linear),
        row("Label_ConfigAcc", "Przyspieszenie [obr/s^2]", "Przyspieszenie [mm/s^2]", linear),
        row("Labe_lAutoFunc1_Speed", "Prędkosc [obr/s]", "Prędkosc [mm/s]", linear),
    };
}

ModelProfile profileFor(Model model) {
    ModelProfile p;
    switch (model) {
    case Model::Kvt318:
        p.displayDecimals = 3;
        p.fullScaleCurrent = 4.0;
        p.settings = motorDriveSettings();
        p.settings << visible("RadioButton_EncABS", true) << visible("Label_Vpower", true)
                   << visible("Label_Vzas", true) << items("ComboBox_StepDiv", stepDivisions(true))
                   << text("Label9", "In1") << text("Label10", "In2");
        break;
    case Model::Kvt317:
        p.displayDecimals = 3;
        p.fullScaleCurrent = 3.0;
        p.settings = motorDriveSettings();
        p.settings << visible("RadioButton_EncABS", false) << visible("Label_Vpower", false)
                   << visible("Label_Vzas", false) << items("ComboBox_StepDiv", stepDivisions(false))
                   << text("Label9", "EncA") << text("Label10", "EncB");
        break;
    case Model::PxaKvt:
        p.displayDecimals = 1;
        p.fullScaleCurrent = PxaFullScaleCurrent;
        p.settings = {
            maximum("ScrollBar_Current", 80),
            visible("cb_InStartStopMode", false),
            enabled("ComboBox_ModbusAdr", false),
            visible("cb_AutoSavePos", false),
            enabled("ComboBox_MotorResol", false),
            enabled("Label_MotorResol", false),
            visible("btn_EncoderTest", true),
            visible("label_encres", false),
            visible("RadioButton_EncABS", false),
            text("RadioButton_EncINKR", "Enkoder absolutny"),
            visible("LabelTemp", true),
            visible("label_UcTemp", true),
            text("LabelInStop", "In3"),
            text("Edit_AF_Speed", "100"),
        };
        for (const ControlText& label : modelUnitLabels(Model::PxaKvt))
            p.settings << text(label.objectName, label.text);
        break;
    }
    return p;
}

} // namespace kvt::control
