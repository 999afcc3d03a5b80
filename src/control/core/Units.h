// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "format/core/NumberFormat.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace kvt::control {

// The items of the unit selector `ComboBox_Units`; the chosen text only labels values, the
// controller does all scaling.
QStringList unitItems(); // "obr.", "mm", "cm", "m"
// Whether a unit code received from the controller names one of those units.
bool isUnitIndex(int index);

// The text of one control, named by its object name.
struct ControlText {
    QString objectName;
    QString text;

    bool operator==(const ControlText&) const = default;
};

// The twelve unit-bearing labels and group captions rebuilt from the unit text `unit`, in the
// order they are written.
QList<ControlText> unitLabels(const QString& unit);

// The items of the display-precision selector `ComboBox_Decp`: its index is the number of decimals.
inline constexpr int MaxDisplayDecimals = 4;
QStringList decimalsItems(); // "0" .. "4"

// A unit-bearing motion value written with the display precision `decimals`.
QString motionParamText(double value, int decimals, fmt::Separators separators); // fixed(8, d)

} // namespace kvt::control
