// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ConfigComparison.h"

#include "cli/Words.h"
#include "config/core/ModbusLink.h"
#include "control/core/ModelProfile.h"
#include "format/core/FloatText.h"

#include <algorithm>
#include <array>

namespace kvt::cli {

namespace {

constexpr std::array<ConfigField, 22> AllFields = {
    ConfigField::MaxCurrent,     ConfigField::RedCurrent,
    ConfigField::Microstep,      ConfigField::MotorResol,
    ConfigField::DefMinVel,      ConfigField::DefMaxVel,
    ConfigField::DefAcc,         ConfigField::EncoderResol,
    ConfigField::EncoderMode,    ConfigField::HomingMode,
    ConfigField::OffAfterError,  ConfigField::PositionMem,
    ConfigField::HomieAsLimitSw, ConfigField::StartStopMode,
    ConfigField::AinMode,        ConfigField::AinMinVal,
    ConfigField::AinMaxVal,      ConfigField::RevToLinCoef,
    ConfigField::Units,          ConfigField::Kp,
    ConfigField::Address,        ConfigField::Baudrate,
};

bool isFloat(ConfigField f) {
    switch (f) {
    case ConfigField::DefMinVel:
    case ConfigField::DefMaxVel:
    case ConfigField::DefAcc:
    case ConfigField::AinMinVal:
    case ConfigField::AinMaxVal:
    case ConfigField::RevToLinCoef:
        return true;
    default:
        return false;
    }
}

// Fields that hold an amount rather than a choice: a controller limits these to a range.
bool isQuantity(ConfigField f) {
    switch (f) {
    case ConfigField::MaxCurrent:
    case ConfigField::RedCurrent:
    case ConfigField::EncoderResol:
    case ConfigField::Kp:
        return true;
    default:
        return isFloat(f);
    }
}

bool same(ConfigField f, double a, double b) {
    if (isFloat(f))
        return float(a) == float(b);
    return a == b;
}

QString listText(const QStringList& items, double value) {
    const int i = int(value);
    return i >= 0 && i < items.size() && double(i) == value ? items[i] : QString::number(value);
}

} // namespace

QString fieldName(ConfigField f) {
    static const char* const Names[] = {
        "MaxCurrent",    "RedCurrent",  "Microstep",      "MotorResol",    "DefMinVel",
        "DefMaxVel",     "DefAcc",      "EncoderResol",   "EncoderMode",   "HomingMode",
        "OffAfterError", "PositionMem", "HomieAsLimitSw", "StartStopMode", "AinMode",
        "AinMinVal",     "AinMaxVal",   "RevToLinCoef",   "Units",         "Kp",
        "Address",       "Baudrate",
    };
    return QString::fromLatin1(Names[int(f)]);
}

HeldConfig heldConfig(const config::ConfigReport& r) {
    HeldConfig h;
    config::ConfigWrite& w = h.record;
    w.MaxCurrent = quint8(r.MaxCurrent);
    w.RedCurrent = quint8(r.RedCurrent);
    w.Microstep = r.Microstep;
    w.MotorResol = quint8(r.MotorResol);
    w.DefMinVel = r.DefMinVel;
    w.DefMaxVel = r.DefMaxVel;
    w.DefAcc = r.DefAcc;
    w.EncoderResol = r.EncoderResol;
    w.EncoderMode = r.EncoderMode;
    w.HomingMode = r.HomingMode;
    w.OffAfterError = r.OffAfterError;
    w.PositionMem = r.PositionMem;
    w.HomieAsLimitSw = r.HomieAsLimitSw;
    w.StartStopMode = r.StartStopMode;
    w.AinMode = quint8(r.AinMode);
    w.AinMinVal = r.AinMinVal;
    w.AinMaxVal = r.AinMaxVal;
    w.RevToLinCoef = r.RevToLinCoef;
    w.Units = quint8(r.Units);
    w.Kp = r.Kp;
    h.address = quint8(r.Address);
    h.baudrate = quint8(r.Baudrate);
    return h;
}

HeldConfig plannedConfig(const config::ConfigWrite& write, const config::ConfigSettings& s) {
    return {write, s.Address + 1, s.Baudrate};
}

double fieldValue(const HeldConfig& h, ConfigField f) {
    const config::ConfigWrite& w = h.record;
    switch (f) {
    case ConfigField::MaxCurrent:
        return w.MaxCurrent;
    case ConfigField::RedCurrent:
        return w.RedCurrent;
    case ConfigField::Microstep:
        return w.Microstep;
    case ConfigField::MotorResol:
        return w.MotorResol;
    case ConfigField::DefMinVel:
        return w.DefMinVel;
    case ConfigField::DefMaxVel:
        return w.DefMaxVel;
    case ConfigField::DefAcc:
        return w.DefAcc;
    case ConfigField::EncoderResol:
        return w.EncoderResol;
    case ConfigField::EncoderMode:
        return w.EncoderMode;
    case ConfigField::HomingMode:
        return w.HomingMode;
    case ConfigField::OffAfterError:
        return w.OffAfterError;
    case ConfigField::PositionMem:
        return w.PositionMem;
    case ConfigField::HomieAsLimitSw:
        return w.HomieAsLimitSw;
    case ConfigField::StartStopMode:
        return w.StartStopMode;
    case ConfigField::AinMode:
        return w.AinMode;
    case ConfigField::AinMinVal:
        return w.AinMinVal;
    case ConfigField::AinMaxVal:
        return w.AinMaxVal;
    case ConfigField::RevToLinCoef:
        return w.RevToLinCoef;
    case ConfigField::Units:
        return w.Units;
    case ConfigField::Kp:
        return w.Kp;
    case ConfigField::Address:
        return h.address;
    case ConfigField::Baudrate:
        return h.baudrate;
    }
    return 0;
}

QList<FieldChange> differences(const HeldConfig& from, const HeldConfig& to, bool modbus) {
    QList<FieldChange> changes;
    for (const ConfigField f : AllFields) {
        if (f == ConfigField::EncoderResol && to.record.EncoderMode == 0)
            continue; // without an encoder the write carries no resolution
        if (!modbus && (f == ConfigField::Address || f == ConfigField::Baudrate))
            continue;
        const double a = fieldValue(from, f);
        const double b = fieldValue(to, f);
        if (!same(f, a, b))
            changes.append({f, a, b});
    }
    return changes;
}

QList<Mismatch> mismatches(const HeldConfig& before, const HeldConfig& written, const HeldConfig& held,
                           bool modbus) {
    QList<Mismatch> result;
    for (const FieldChange& c : differences(held, written, modbus)) {
        const double was = fieldValue(before, c.field);
        Mismatch m{c.field, c.to, c.from, Mismatch::Kind::Replaced};
        if (isQuantity(c.field) && c.from >= std::min(was, c.to) && c.from <= std::max(was, c.to))
            m.kind = Mismatch::Kind::Limited;
        else if (same(c.field, was, c.from))
            m.kind = Mismatch::Kind::Refused;
        result.append(m);
    }
    return result;
}

QString valueText(ConfigField f, double v, Model model, const Texts& tr) {
    switch (f) {
    case ConfigField::MaxCurrent:
    case ConfigField::RedCurrent:
        return QStringLiteral("%1 %").arg(v);
    case ConfigField::Microstep:
        return stepDivisionText(int(v), model);
    case ConfigField::MotorResol: {
        const int i = int(v);
        if (i >= 0 && i < int(config::MotorResolutions.size()))
            return tr("%1 steps/rev", "%1 kroków/obr.")
                .arg(config::MotorResolutions[std::size_t(i)].stepsPerRevolution);
        return QString::number(v);
    }
    case ConfigField::EncoderMode:
        return listText(
            {tr("none", "brak"), tr("incremental", "inkrementalny"), tr("absolute (SSI)", "absolutny (SSI)")},
            v);
    case ConfigField::HomingMode:
        return listText(
            {tr("simple", "proste"), tr("precise", "precyzyjne"), tr("intelligent", "inteligentne")}, v);
    case ConfigField::OffAfterError:
    case ConfigField::PositionMem:
    case ConfigField::HomieAsLimitSw:
    case ConfigField::StartStopMode:
        return v == 0 ? onOff(false, tr) : v == 1 ? onOff(true, tr) : QString::number(v);
    case ConfigField::AinMode:
        return listText({tr("off", "wył."), tr("speed", "prędkość"), tr("position", "pozycja")}, v);
    case ConfigField::Units:
        return v >= 0 && v <= 3 && v == int(v) ? unitText(int(v), tr) : QString::number(v);
    case ConfigField::Baudrate:
        return listText(config::modbusRateItems(), v);
    case ConfigField::DefMinVel:
    case ConfigField::DefMaxVel:
    case ConfigField::DefAcc:
    case ConfigField::AinMinVal:
    case ConfigField::AinMaxVal:
    case ConfigField::RevToLinCoef:
        return numberText(float(v));
    case ConfigField::EncoderResol:
    case ConfigField::Kp:
    case ConfigField::Address:
        break;
    }
    return QString::number(v);
}

QJsonValue valueJson(ConfigField f, double v) {
    if (isFloat(f))
        return fmt::floatJson(float(v));
    return qint64(v);
}

int defaultDecimals(Model model) {
    return control::profileFor(model).displayDecimals;
}

config::SettingsLimits limitsFor(Model model, int decimals) {
    config::SettingsLimits limits;
    limits.currentMaximum = control::profileFor(model).currentCeiling;
    limits.stepDivisionCount = int(config::stepDivisionItems(model).size());
    limits.decimals = decimals;
    return limits;
}

config::ConfigSettings settingsFromReport(Model model, const config::ConfigReport& report,
                                          const config::SettingsLimits& limits) {
    config::ConfigSettings s;
    // The model's step-division list replaces the initial one and leaves no selection, except on
    // the PXA-KVT, whose list is the initial one.
    if (model != Model::PxaKvt)
        s.Microstep = config::NoSelection;
    s.Decp = limits.decimals;
    config::applyConfigReport(s, report, limits);
    return s;
}

} // namespace kvt::cli
