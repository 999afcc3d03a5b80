// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/Texts.h"
#include "config/core/ConfigRecord.h"
#include "config/core/ConfigSettings.h"
#include "link/Model.h"

#include <QJsonValue>
#include <QList>
#include <QString>
#include <optional>

// Comparing configuration records: what a file would write against what the controller holds,
// and what was written against what came back.
namespace kvt::cli {

// The fields of the record, in the order of the write command, then the Modbus settings.
enum class ConfigField {
    MaxCurrent,
    RedCurrent,
    Microstep,
    MotorResol,
    DefMinVel,
    DefMaxVel,
    DefAcc,
    EncoderResol,
    EncoderMode,
    HomingMode,
    OffAfterError,
    PositionMem,
    HomieAsLimitSw,
    StartStopMode,
    AinMode,
    AinMinVal,
    AinMaxVal,
    RevToLinCoef,
    Units,
    Kp,
    Address,
    Baudrate,
};

QString fieldName(ConfigField field); // the record's field name, as the file's keys use it

// A configuration in the terms of the write command (a step-division code, not a list position),
// with the Modbus settings beside it.
struct HeldConfig {
    config::ConfigWrite record;
    int address = 0;  // Modbus slave address
    int baudrate = 0; // Modbus baud-rate code
};

// What the controller reports, byte for byte as it holds it.
HeldConfig heldConfig(const config::ConfigReport& report);
// What a write carries, with the Modbus settings of `settings` (list positions) beside it.
HeldConfig plannedConfig(const config::ConfigWrite& write, const config::ConfigSettings& settings);

double fieldValue(const HeldConfig& config, ConfigField field);

struct FieldChange {
    ConfigField field;
    double from = 0;
    double to = 0;

    bool operator==(const FieldChange&) const = default;
};

// The fields where `to` differs from `from`, in field order. Floats are compared as the singles
// the controller stores. The encoder resolution counts only where `to` uses an encoder, the
// Modbus settings only when `modbus` is set.
QList<FieldChange> differences(const HeldConfig& from, const HeldConfig& to, bool modbus);

// A field written and held differently after a write, and what the controller did with it: a
// number held between its earlier value and the one written (or at the earlier value) was
// limited to the controller's own range; a setting held at its earlier value was refused;
// anything else was replaced by another value.
struct Mismatch {
    enum class Kind { Limited, Refused, Replaced };
    ConfigField field;
    double written = 0;
    double held = 0;
    Kind kind = Kind::Replaced;
};
QList<Mismatch> mismatches(const HeldConfig& before, const HeldConfig& written, const HeldConfig& held,
                           bool modbus);

// A field's value in words and its unit where it has one ("50 %", "1/16", "incremental").
QString valueText(ConfigField field, double value, Model model, const Texts& tr);
// ... and as JSON: the number itself.
QJsonValue valueJson(ConfigField field, double value);

// The rules of the window's Configuration page for a connected model: the ranges of its sliders
// and lists and the display precision of values in the configured unit.
config::SettingsLimits limitsFor(Model model, int decimals);
// The display precision the window uses for the model.
int defaultDecimals(Model model);
// The page as the window shows it once `model` has connected and its record has arrived.
config::ConfigSettings settingsFromReport(Model model, const config::ConfigReport& report,
                                          const config::SettingsLimits& limits);

} // namespace kvt::cli
