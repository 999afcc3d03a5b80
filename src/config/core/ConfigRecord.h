// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/Model.h"

#include <QByteArray>
#include <QStringList>
#include <QtGlobal>
#include <array>
#include <optional>

// The controller's configuration record on the wire: the report that answers a configuration
// read (99), the two partial reports (35, 86), the configuration write (236) and the factory
// reset (221). The report and the write lay the fields out differently; both are little-endian.
namespace kvt::config {

// Response 99, decoded without interpretation. Fields the report carries as signed bytes are
// signed here, so the rules that compare them see what the controller meant.
struct ConfigReport {
    float DefMinVel = 0;
    float DefMaxVel = 0;
    float DefAcc = 0;
    qint32 EncoderResol = 0;
    quint8 EncoderMode = 0;
    float FirmwareVersion = 0;
    quint8 Microstep = 0;
    qint8 MaxCurrent = 0;
    qint8 RedCurrent = 0;
    quint8 HomingMode = 0;
    qint8 Address = 0;
    qint8 Baudrate = 0;
    qint8 MotorResol = 0;
    quint8 OffAfterError = 0;
    quint8 PositionMem = 0;
    quint8 HomieAsLimitSw = 0;
    quint8 StartStopMode = 0;
    qint8 AinMode = 0;
    float AinMinVal = 0;
    float AinMaxVal = 0;
    float RevToLinCoef = 0;
    qint8 Units = 0;
    qint32 Kp = 0;
};

// `response` starts with the operation code; bytes past its end read as zero.
ConfigReport decodeConfigReport(const QByteArray& response);

// Response 35: the encoder type the controller now uses.
struct EncoderModeReport {
    quint8 EncoderMode = 0;
};
EncoderModeReport decodeEncoderModeReport(const QByteArray& response);

// Response 86: homing method and three option flags.
struct HomingOptionsReport {
    quint8 HomingMode = 0;
    quint8 OffAfterError = 0;
    quint8 PositionMem = 0;
    quint8 HomieAsLimitSw = 0;
};
HomingOptionsReport decodeHomingOptionsReport(const QByteArray& response);

// Command 236, from values already validated and limited (see ConfigSettings.h).
struct ConfigWrite {
    quint8 MaxCurrent = 0;
    quint8 RedCurrent = 0; // 0: no standstill reduction
    quint8 Microstep = 0;  // step-division code
    quint8 MotorResol = 0;
    float DefMinVel = 0;
    float DefMaxVel = 0;
    float DefAcc = 0;
    qint32 EncoderResol = 0; // 0 when no encoder is used
    quint8 EncoderMode = 0;
    quint8 HomingMode = 0;
    quint8 OffAfterError = 0;
    quint8 PositionMem = 0;
    quint8 HomieAsLimitSw = 0;
    quint8 StartStopMode = 0;
    quint8 AinMode = 0;
    float AinMinVal = 0;
    float AinMaxVal = 0;
    float RevToLinCoef = 0;
    quint8 Units = 0;
    qint32 Kp = 0;

    bool operator==(const ConfigWrite&) const = default;
};

constexpr int ConfigWriteLength = 63;

// The 63 bytes of command 236; the bytes after Kp are zero.
QByteArray encodeConfigWrite(const ConfigWrite& write);

// Command 221: restore the factory settings.
QByteArray factoryResetCommand();
// Command 99: read the configuration record.
QByteArray readConfigCommand();

// Step division: the code the controller uses for each position of the step-division list. The
// code follows the list position, whatever the entry's text (on a KVT317, "1/64" at position 6 is
// code 40).
constexpr std::array<quint8, 9> MicrostepCodes = {2, 8, 10, 16, 20, 32, 40, 64, 128};

// The code of list position `position`; none outside the table.
std::optional<quint8> microstepCode(int position);
// The list position of `code`; none for a code outside the table.
std::optional<int> microstepPosition(quint8 code);

// The step-division entries of a model; without a model (before any connection) the list of a
// PXA-KVT.
QStringList stepDivisionItems(std::optional<Model> model);
// Initial selection of the list before any connection: "1/20".
constexpr int InitialStepDivision = 4;

// Motor resolution list (steps per revolution and step angle), by the code the controller stores;
// initial selection position 2.
struct MotorResolution {
    int stepsPerRevolution;
    const char* item; // the list's text
};
constexpr std::array<MotorResolution, 6> MotorResolutions = {{{400, "400   (0,9°)"},
                                                              {300, "300   (1,2°)"},
                                                              {200, "200   (1,8°)"},
                                                              {100, "100   (3,6°)"},
                                                              {48, "48     (7,5°)"},
                                                              {24, "24     (15°)"}}};
QStringList motorResolutionItems();
constexpr int InitialMotorResolution = 2;

// Absolute-encoder word sizes: "8bit", "10bit", "12bit" and the resolutions they stand for.
constexpr std::array<qint32, 3> SsiResolutions = {256, 1024, 4096};
// The word size a reported absolute resolution selects: 1024 and 4096 their own, anything else
// 8 bit.
int ssiIndexForResolution(qint32 resolution);

// Analog-input modes, by list position.
QStringList analogModeItems();

} // namespace kvt::config
