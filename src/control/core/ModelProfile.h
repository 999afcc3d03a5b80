// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "control/core/Units.h"
#include "link/Model.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace kvt::control {

// What the model profile does to one control, found by its object name. An empty member leaves
// that property as it is.
struct ControlSetting {
    QString objectName;
    std::optional<bool> visible;
    std::optional<bool> enabled;
    std::optional<QString> text;      // caption, group title or entry text
    std::optional<QStringList> items; // the list replaced, leaving no selection
    std::optional<int> maximum;       // slider maximum

    bool operator==(const ControlSetting&) const = default;
};

// How the window adapts to a connected model. The texts are fixed and the same in both languages.
struct ModelProfile {
    int displayDecimals = 3;
    double fullScaleCurrent = 0;    // amperes at 100 % of the motor-current slider
    QList<ControlSetting> settings; // in the order they are applied
};

ModelProfile profileFor(Model model);

// The model's own texts of the twelve unit-bearing labels (part of its profile).
QList<ControlText> modelUnitLabels(Model model);

} // namespace kvt::control
