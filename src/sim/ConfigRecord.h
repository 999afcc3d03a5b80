// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace kvt::sim {

// The controller's stored power-on configuration.
struct ConfigRecord {
    quint8 maxCurrent = 50; // percent of the model's full-scale current
    quint8 redCurrent = 25; // standstill current in percent, 0 = no reduction
    quint8 microstep = 16;  // step-division code
    quint8 motorResol = 2;  // motor type, list position (2 = 200 steps per revolution)
    float defMinVel = 0.5f;
    float defMaxVel = 5.0f;
    float defAcc = 10.0f;
    qint32 encoderResol = 1000;
    quint8 encoderMode = 0; // 0 none, 1 incremental, 2 absolute (SSI)
    quint8 homingMode = 0;  // 0 simple, 1 precise, 2 intelligent
    quint8 offAfterError = 0;
    quint8 positionMem = 0;
    quint8 homeAsLimitSw = 0;
    quint8 startStopMode = 0;
    quint8 ainMode = 0; // 0 off, 1 speed, 2 position
    float ainMinVal = 0.0f;
    float ainMaxVal = 10.0f;
    float revToLinCoef = 1.0f;
    quint8 units = 0; // 0 revolutions, 1 mm, 2 cm, 3 m
    qint32 kp = 5;
    quint8 address = 1;  // Modbus slave address
    quint8 baudrate = 2; // Modbus baud-rate code
    float firmware = 0.0f;

    bool operator==(const ConfigRecord&) const = default;
};

// Factory settings of `model`, carrying the given firmware version.
ConfigRecord factoryConfig(const QString& model, float firmware);

// Response 99: the record in the report layout, bytes 0..50.
QByteArray encodeConfigReport(const ConfigRecord& record);

// Command 236: takes the fields of the write layout into `record`, each clamped to its range or,
// when it cannot be clamped (an unknown code, a non-number), left as it was. The Modbus settings
// and the firmware version are not part of the command and stay.
void applyConfigWrite(ConfigRecord& record, const QByteArray& command, const QString& model);

// Command 222: baud-rate code in byte 1 (0..4), slave address in byte 2 (1..32); a value out of
// range leaves that setting unchanged.
void applyModbusLink(ConfigRecord& record, const QByteArray& command);

// Response 35: the encoder type (byte 1).
QByteArray encodeEncoderModeReport(const ConfigRecord& record);
// Response 86: homing method (byte 1), then the motor-blocked, position-memory and
// home-as-limit-switch options (bytes 2..4).
QByteArray encodeHomingOptionsReport(const ConfigRecord& record);

// Whether `code` is a step-division code the model accepts.
bool isMicrostepCode(const QString& model, int code);

} // namespace kvt::sim
