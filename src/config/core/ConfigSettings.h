// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "config/core/ConfigRecord.h"
#include "format/core/NumberFormat.h"

#include <QList>
#include <QString>
#include <array>
#include <optional>

// The configuration as the Configuration and RS485 pages hold it: slider positions, list
// positions, option buttons and the texts of the entry fields. Reports from the controller and
// configuration files are applied to it, and the configuration write is built from it, by the
// rules below; the pages only copy it to and from their controls.
namespace kvt::config {

constexpr int NoSelection = -1;

// The entry fields the configuration write reads, in the order it reads them.
enum class ConfigEntry { DefMinVel, DefMaxVel, DefAcc, EncoderResol, AinMinVal, AinMaxVal, RevToLinCoef, Kp };
constexpr int ConfigEntryCount = 8;

// A decimal value a field shows rounded to the display decimals, and the text it shows. While the
// field still holds that text the value itself is what the write sends, so settings the user
// never touched go back to the controller as they came.
struct ShownValue {
    QString text;
    double value = 0;

    bool operator==(const ShownValue&) const = default;
};

// The list codes of the last configuration report, sent back for a list that has no selection
// (a code the list cannot show).
struct ReportedCodes {
    std::optional<quint8> Microstep;
    std::optional<quint8> MotorResol;
    std::optional<quint8> AinMode;

    bool operator==(const ReportedCodes&) const = default;
};

// Members carry the record's field names (and the file's key where the file has its own). List
// members hold list positions, option groups the position of the selected button.
struct ConfigSettings {
    int MaxCurrent = 5;                         // ScrollBar_Current position, percent of full scale
    int RedCurrent = 5;                         // ScrollBar_RedCurrent position
    bool RedCurrentON = false;                  // cb_AutoRed
    int Microstep = InitialStepDivision;        // ComboBox_StepDiv position
    int MotorResol = InitialMotorResolution;    // ComboBox_MotorResol position
    QString DefMinVel;                          // Edit_Vmin
    QString DefMaxVel;                          // Edit_Vmax
    QString DefAcc;                             // Edit_Amax
    int EncoderMode = NoSelection;              // 0 "Brak enkodera", 1 incremental, 2 absolute (SSI)
    QString EncoderResol;                       // Edit_EncResol
    int SsiWord = 0;                            // 0 "8bit", 1 "10bit", 2 "12bit"
    int HomingMode = NoSelection;               // 0 simple, 1 precise, 2 intelligent
    bool OffAfterError = false;                 // cb_MotorAutoOff
    bool PositionMem = false;                   // cb_AutoSavePos
    bool HomieAsLimitSw = false;                // cb_HomeAsLimitSwitch
    bool StartStopMode = false;                 // cb_InStartStopMode
    int AinMode = 0;                            // cb_AINmode position
    QString AinMinVal;                          // Edit_AinMin
    QString AinMaxVal;                          // Edit_AinMax
    QString RevToLinCoef = QStringLiteral("1"); // Edit_RevToLinearCoef
    QString Kp;                                 // Edit_KP
    int Units = 0;                              // ComboBox_Units position
    int Decp = 3;                               // ComboBox_Decp position
    int Baudrate = NoSelection;                 // ComboBox_MBusRate position (the rate code)
    int Address = 0;                            // ComboBox_ModbusAdr position (address minus 1)

    // Not shown in any control: what lies behind the controls' contents.
    std::array<std::optional<ShownValue>, ConfigEntryCount> shown{}; // by ConfigEntry
    ReportedCodes reported;

    bool operator==(const ConfigSettings&) const = default;
};

// What the rules need to know about the controls and the connected model.
struct SettingsLimits {
    int currentMaximum = 100;  // ScrollBar_Current maximum (80 once a PXA-KVT has connected)
    int stepDivisionCount = 8; // entries of ComboBox_StepDiv
    int decimals = 3;          // display precision of unit-bearing values
    fmt::Separators separators = fmt::Separators::current();
};

constexpr int CurrentMinimum = 5;
constexpr int RedCurrentMaximum = 100;
constexpr int MotorResolutionCount = int(MotorResolutions.size());
constexpr int AnalogModeCount = 3;
constexpr int UnitCount = 4;
constexpr int DecimalsCount = 5;
constexpr int ModbusRateCount = 5;

// Slider moves: each position is limited to its slider's range, then the standstill current is
// pulled down to the motor current, so it never stays above it whichever slider moved.
void setMaxCurrent(ConfigSettings& s, int position, const SettingsLimits& limits);
void setRedCurrent(ConfigSettings& s, int position);

// The amperes shown beside a current slider: the product is taken as a single-precision float
// before it is formatted with two significant digits.
QString currentText(int position, float fullScaleAmperes, fmt::Separators separators);

// Response 99 applied field by field in byte order. Firmware version is not part of the page. A
// step-division code the model's list has no entry for clears the list's selection.
void applyConfigReport(ConfigSettings& s, const ConfigReport& report, const SettingsLimits& limits);
// Response 35: 1 incremental, 2 absolute, anything else no encoder.
void applyEncoderModeReport(ConfigSettings& s, const EncoderModeReport& report);
// Response 86: the homing button as in the full report, then three option flags.
void applyHomingOptionsReport(ConfigSettings& s, const HomingOptionsReport& report);

// The text of one entry field, and the value it was shown for.
std::optional<ShownValue>& shownValue(ConfigSettings& s, ConfigEntry entry);
QString& entryText(ConfigSettings& s, ConfigEntry entry);

// Limits of the write's numeric entries. Out-of-range values are limited silently, first to the
// maximum and then to the minimum.
constexpr double MinVelLow = 0.001, MinVelHigh = 1500;
constexpr double MaxVelLow = 0.001, MaxVelHigh = 9999;
constexpr double AccLow = 0.001, AccHigh = 9999;
constexpr qint32 EncoderResolLow = 10, EncoderResolHigh = 10000;
constexpr qint32 KpLow = 1, KpHigh = 100;

double limitValue(double value, double low, double high);
// Compared as unsigned 32-bit numbers, so a negative entry becomes the maximum.
qint32 limitEncoderResolution(qint32 value);
qint32 limitKp(qint32 value);

struct WritePreparation {
    std::optional<ConfigWrite> command; // set when every entry was valid
    std::optional<ConfigEntry> invalid; // the first entry that is not a number
    QList<ConfigEntry> checked;         // entries read, in order, the invalid one included
};

// Builds the configuration write from `s`: reads, limits and rewrites each entry field in order
// (the accepted text replaces the field's text in `s`) and stops at the first entry that is not a
// number; fields before it keep their rewritten texts. A field whose text is still the one shown
// for a value sends that value. A value beyond what a single-precision float holds is limited like
// any other in a limited field, and counts as not a number in the others, since it could not be
// sent. A list without a selection sends the code the controller last reported for it.
WritePreparation prepareConfigWrite(ConfigSettings& s, const SettingsLimits& limits);

} // namespace kvt::config
