// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/core/ConfigSettings.h"

#include "config/core/ModbusLink.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kvt::config {

namespace {

void pullDownRedCurrent(ConfigSettings& s) {
    if (s.MaxCurrent < s.RedCurrent)
        s.RedCurrent = s.MaxCurrent;
}

// A decimal entry as a single-precision float; none when the text is not a number or the value
// lies beyond what a float holds.
std::optional<double> readFloatEntry(const QString& text, fmt::Separators separators) {
    const std::optional<double> value = fmt::readDecimal(text, separators);
    if (!value || std::fabs(*value) > double(std::numeric_limits<float>::max()))
        return std::nullopt;
    return value;
}

} // namespace

void setMaxCurrent(ConfigSettings& s, int position, const SettingsLimits& limits) {
    s.MaxCurrent = std::clamp(position, CurrentMinimum, std::max(CurrentMinimum, limits.currentMaximum));
    pullDownRedCurrent(s);
}

void setRedCurrent(ConfigSettings& s, int position) {
    s.RedCurrent = std::clamp(position, CurrentMinimum, RedCurrentMaximum);
    pullDownRedCurrent(s);
}

QString currentText(int position, float fullScaleAmperes, fmt::Separators separators) {
    const float amperes = float(position) * fullScaleAmperes * 0.01f;
    return fmt::general(double(amperes), 2, 2, separators);
}

void applyConfigReport(ConfigSettings& s, const ConfigReport& r, const SettingsLimits& limits) {
    const int d = limits.decimals;
    const fmt::Separators sep = limits.separators;
    // A reported value is shown rounded; the field keeps the value behind the rounded text.
    const auto show = [&](ConfigEntry entry, float value, int precision) {
        QString& text = entryText(s, entry);
        text = fmt::fixed(double(value), precision, d, sep);
        shownValue(s, entry) = ShownValue{text, double(value)};
    };
    show(ConfigEntry::DefMinVel, r.DefMinVel, 5);
    show(ConfigEntry::DefMaxVel, r.DefMaxVel, 5);
    show(ConfigEntry::DefAcc, r.DefAcc, 5);

    switch (r.EncoderMode) {
    case 0:
        s.EncoderMode = 0;
        break;
    case 1:
        s.EncoderMode = 1;
        s.EncoderResol = QString::number(r.EncoderResol);
        break;
    case 2:
        s.EncoderMode = 2;
        s.SsiWord = ssiIndexForResolution(r.EncoderResol);
        break;
    default:
        break;
    }

    // A code the list cannot show leaves it without a selection, so the write sends the code back
    // rather than the code of an entry the controller never had.
    const std::optional<int> position = microstepPosition(r.Microstep);
    s.Microstep = position && *position < limits.stepDivisionCount ? *position : NoSelection;

    // The motor current first, so the standstill current is limited by the new maximum.
    setMaxCurrent(s, std::min<int>(r.MaxCurrent, 100), limits);
    if (r.RedCurrent < 101) {
        setRedCurrent(s, r.RedCurrent);
        // 100 % standstill current is no reduction at all.
        s.RedCurrentON = r.RedCurrent != 0 && r.RedCurrent != 100;
    }

    s.HomingMode = (r.HomingMode == 1 || r.HomingMode == 2) ? r.HomingMode : 0;
    if (const std::optional<int> index = modbusAddressIndexFromReport(r.Address))
        s.Address = *index;
    if (const std::optional<int> index = modbusRateIndexFromReport(r.Baudrate))
        s.Baudrate = *index;
    if (r.MotorResol < MotorResolutionCount)
        s.MotorResol = r.MotorResol < 0 ? NoSelection : int(r.MotorResol);

    s.OffAfterError = r.OffAfterError != 0;
    s.PositionMem = r.PositionMem != 0;
    s.HomieAsLimitSw = r.HomieAsLimitSw != 0;
    s.StartStopMode = r.StartStopMode != 0;
    s.AinMode = r.AinMode >= 0 && r.AinMode < AnalogModeCount ? int(r.AinMode) : NoSelection;
    show(ConfigEntry::AinMinVal, r.AinMinVal, 5);
    show(ConfigEntry::AinMaxVal, r.AinMaxVal, 5);
    show(ConfigEntry::RevToLinCoef, r.RevToLinCoef, 6);
    // The unit list always keeps a selection.
    if (r.Units >= 0 && r.Units < UnitCount)
        s.Units = r.Units;
    s.Kp = QString::number(r.Kp);
    s.reported = ReportedCodes{r.Microstep, quint8(r.MotorResol), quint8(r.AinMode)};
}

void applyEncoderModeReport(ConfigSettings& s, const EncoderModeReport& report) {
    s.EncoderMode = (report.EncoderMode == 1 || report.EncoderMode == 2) ? report.EncoderMode : 0;
}

void applyHomingOptionsReport(ConfigSettings& s, const HomingOptionsReport& report) {
    s.HomingMode = (report.HomingMode == 1 || report.HomingMode == 2) ? report.HomingMode : 0;
    s.OffAfterError = report.OffAfterError != 0;
    s.PositionMem = report.PositionMem != 0;
    s.HomieAsLimitSw = report.HomieAsLimitSw != 0;
}

std::optional<ShownValue>& shownValue(ConfigSettings& s, ConfigEntry entry) {
    return s.shown[std::size_t(entry)];
}

QString& entryText(ConfigSettings& s, ConfigEntry entry) {
    switch (entry) {
    case ConfigEntry::DefMinVel:
        return s.DefMinVel;
    case ConfigEntry::DefMaxVel:
        return s.DefMaxVel;
    case ConfigEntry::DefAcc:
        return s.DefAcc;
    case ConfigEntry::EncoderResol:
        return s.EncoderResol;
    case ConfigEntry::AinMinVal:
        return s.AinMinVal;
    case ConfigEntry::AinMaxVal:
        return s.AinMaxVal;
    case ConfigEntry::RevToLinCoef:
        return s.RevToLinCoef;
    case ConfigEntry::Kp:
        break;
    }
    return s.Kp;
}

double limitValue(double value, double low, double high) {
    if (value > high)
        value = high;
    if (value < low)
        value = low;
    return value;
}

qint32 limitEncoderResolution(qint32 value) {
    quint32 u = quint32(value);
    if (u > quint32(EncoderResolHigh))
        u = quint32(EncoderResolHigh);
    if (u < quint32(EncoderResolLow))
        u = quint32(EncoderResolLow);
    return qint32(u);
}

qint32 limitKp(qint32 value) {
    if (value > KpHigh)
        value = KpHigh;
    if (value < KpLow)
        value = KpLow;
    return value;
}

WritePreparation prepareConfigWrite(ConfigSettings& s, const SettingsLimits& limits) {
    WritePreparation result;
    ConfigWrite w;
    const int d = limits.decimals;
    const fmt::Separators sep = limits.separators;

    // Reads one decimal entry, limited when `limited`; rewrites its text. False when invalid.
    const auto decimal = [&](ConfigEntry entry, QString& text, float& out, int precision, bool limited,
                             double low, double high) {
        result.checked.append(entry);
        std::optional<ShownValue>& shown = shownValue(s, entry);
        std::optional<double> value;
        if (shown && shown->text == text && std::isfinite(shown->value))
            value = shown->value; // untouched since it was shown
        else
            value = limited ? fmt::readDecimal(text, sep) : readFloatEntry(text, sep);
        if (!value || std::isnan(*value)) {
            result.invalid = entry;
            return false;
        }
        if (limited)
            value = limitValue(*value, low, high);
        text = fmt::fixed(*value, precision, d, sep);
        out = float(*value);
        shown = ShownValue{text, double(out)};
        return true;
    };

    w.MaxCurrent = quint8(s.MaxCurrent);
    w.RedCurrent = s.RedCurrentON ? quint8(s.RedCurrent) : 0;
    w.Microstep = microstepCode(s.Microstep).value_or(s.reported.Microstep.value_or(0));
    w.MotorResol = s.MotorResol >= 0 ? quint8(s.MotorResol) : s.reported.MotorResol.value_or(0);

    if (!decimal(ConfigEntry::DefMinVel, s.DefMinVel, w.DefMinVel, 5, true, MinVelLow, MinVelHigh) ||
        !decimal(ConfigEntry::DefMaxVel, s.DefMaxVel, w.DefMaxVel, 5, true, MaxVelLow, MaxVelHigh) ||
        !decimal(ConfigEntry::DefAcc, s.DefAcc, w.DefAcc, 5, true, AccLow, AccHigh))
        return result;

    if (s.EncoderMode == 1) {
        result.checked.append(ConfigEntry::EncoderResol);
        const std::optional<qint32> resolution = fmt::readInteger(s.EncoderResol);
        if (!resolution) {
            result.invalid = ConfigEntry::EncoderResol;
            return result;
        }
        w.EncoderResol = limitEncoderResolution(*resolution);
        s.EncoderResol = QString::number(w.EncoderResol);
        w.EncoderMode = 1;
    } else if (s.EncoderMode == 2) {
        w.EncoderResol = SsiResolutions[std::size_t(std::clamp(s.SsiWord, 0, 2))];
        w.EncoderMode = 2;
    }

    w.HomingMode = (s.HomingMode == 1 || s.HomingMode == 2) ? quint8(s.HomingMode) : 0;
    w.OffAfterError = s.OffAfterError ? 1 : 0;
    w.PositionMem = s.PositionMem ? 1 : 0;
    w.HomieAsLimitSw = s.HomieAsLimitSw ? 1 : 0;
    w.StartStopMode = s.StartStopMode ? 1 : 0;
    w.AinMode = s.AinMode >= 0 ? quint8(s.AinMode) : s.reported.AinMode.value_or(0);

    if (!decimal(ConfigEntry::AinMinVal, s.AinMinVal, w.AinMinVal, 5, false, 0, 0) ||
        !decimal(ConfigEntry::AinMaxVal, s.AinMaxVal, w.AinMaxVal, 5, false, 0, 0) ||
        !decimal(ConfigEntry::RevToLinCoef, s.RevToLinCoef, w.RevToLinCoef, 6, false, 0, 0))
        return result;

    w.Units = quint8(s.Units);

    result.checked.append(ConfigEntry::Kp);
    const std::optional<qint32> kp = fmt::readInteger(s.Kp);
    if (!kp) {
        result.invalid = ConfigEntry::Kp;
        return result;
    }
    w.Kp = limitKp(*kp);
    s.Kp = QString::number(w.Kp);

    result.command = w;
    return result;
}

} // namespace kvt::config
