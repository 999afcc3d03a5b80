// SPDX-License-Identifier: GPL-3.0-or-later
#include "control/core/Units.h"

namespace kvt::control {

QStringList unitItems() {
    return {QStringLiteral("obr."), QStringLiteral("mm"), QStringLiteral("cm"), QStringLiteral("m")};
}

bool isUnitIndex(int index) {
    return index >= 0 && index < 4;
}

QList<ControlText> unitLabels(const QString& unit) {
    const auto row = [&unit](const char* name, const char* prefix, const char* suffix) {
        return ControlText{QString::fromLatin1(name),
                           QString::fromUtf8(prefix) + unit + QString::fromUtf8(suffix)};
    };
    return {
        row("Label_SpeedActual", "Prędkosc aktualna [", "/s]"),
        row("Label_PosActual", "Pozycja aktualna [", "]"),
        row("Label_PosDest", "Pozycja docelowa [", "]"),
        row("Label_SpeedMax", "Prędkosc maks. [", "/s]"),
        row("Label_Acc", "Przyspieszenie [", "/s^2]"),
        row("Label_HomeSpeed", "Prędkosc [", "/s]"),
        row("Label_ConfigSpeedMin", "Prędkosc min. [", "/s]"),
        row("Label_ConfigSpeedMax", "Prędkosc maks. [", "/s]"),
        row("Label_ConfigAcc", "Przyspieszenie [", "/s^2]"),
        row("Labe_lAutoFunc1_Speed", "Prędkosc [", "/s]"),
        row("GroupBoxSpeedSets", "Prędkosc zadana [", "/s]"),
        row("GroupBox_PosSets", "Pozycja zadana [", "]"),
    };
}

QStringList decimalsItems() {
    QStringList items;
    for (int d = 0; d <= MaxDisplayDecimals; ++d)
        items << QString::number(d);
    return items;
}

QString motionParamText(double value, int decimals, fmt::Separators separators) {
    return fmt::fixed(value, 8, decimals, separators);
}

} // namespace kvt::control
