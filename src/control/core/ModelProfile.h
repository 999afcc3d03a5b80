// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "control/core/Units.h"
#include "link/Model.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace kvt::control {

// What a connected model is and can do. Each page shows these facts on its own controls; kvtctl
// limits its values by them. A fact that is empty leaves what the window shows as it is.
struct ModelProfile {
    int displayDecimals = 3;
    double fullScaleCurrent = 0; // amperes at 100 % motor current
    int currentCeiling = 100;    // the highest motor current, in percent

    // Configuration.
    bool startByInput = true;              // programs can be started and stopped by the inputs
    bool positionMemory = true;            // the position survives a power cycle
    bool motorResolutionSelectable = true; // the motor's steps per revolution can be chosen
    bool encoderTest = true;
    std::optional<bool> encoderResolutionEntry; // the pulses-per-revolution entry is shown
    bool encoderResolutionLabel = true;         // ... and its label
    bool absoluteEncoder = false;               // an SSI encoder can be chosen
    QString encoderCaption;                     // the caption of the (only) encoder choice
    std::optional<QStringList> stepDivisions;   // the step divisions the drive offers

    // Live state.
    bool temperature = true;
    std::optional<bool> supplyVoltage;
    QString stopInputCaption; // the third input: "Stop" or "In3"
    std::optional<QString> input1Caption;
    std::optional<QString> input2Caption;

    // Modbus: the slave address can be chosen.
    bool modbusAddressSelectable = true;

    // Automatic functions: the speed the generated move starts with.
    QString autoFunctionSpeed;

    // Units: a linear axis ("mm") rather than a rotating one ("obr").
    bool linearAxis = false;

    bool operator==(const ModelProfile&) const = default;
};

ModelProfile profileFor(Model model);

// The model's own texts of the twelve unit-bearing labels (shown once the model is connected,
// until a configuration record or the unit selector rebuilds them from the unit chosen).
QList<ControlText> modelUnitLabels(const ModelProfile& profile);

} // namespace kvt::control
