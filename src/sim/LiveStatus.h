// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace kvt::sim {

// Motor state codes of the live status.
namespace motor {
constexpr quint8 Off = 0;
constexpr quint8 On = 1;
constexpr quint8 SpeedMode = 2;
constexpr quint8 Positioning = 3;
constexpr quint8 PositionReached = 4;
constexpr quint8 PositionError = 5;
constexpr quint8 Homing = 6;
constexpr quint8 Overload = 7;
constexpr quint8 PositionCorrection = 8;
constexpr quint8 AnalogSpeed = 9;
} // namespace motor

// Input bits (simulation mask order) and output bits.
namespace io {
constexpr quint8 Run = 0x01;
constexpr quint8 StopIn = 0x02;
constexpr quint8 In1 = 0x04;
constexpr quint8 In2 = 0x08;
constexpr quint8 Home1 = 0x10;
constexpr quint8 Home2 = 0x20;
constexpr quint8 InputMask = 0x3F;
constexpr quint8 Out1 = 0x01;
constexpr quint8 Out2 = 0x02;
constexpr quint8 OutputMask = 0x03;
} // namespace io

// One snapshot of what response 97 reports. Positions and speeds are in the configured unit.
struct LiveState {
    float position = 0;
    float speed = 0;
    quint8 inputs = 0;  // io::Run .. io::Home2
    quint8 outputs = 0; // io::Out1, io::Out2
    quint8 motorState = motor::Off;
    qint32 temperatureRaw = 60; // degrees Celsius plus 25
    quint32 analogMv = 0;
    quint32 supplyMv = 24000;
    qint32 encoderCount = 0;
    float destination = 0;
    float moveTime = 0;
    float accTime = 0;
    float accDistance = 0;
};

// Response 97: 51 bytes, the operation code first.
QByteArray encodeLiveStatus(const LiveState& state);

// Response 100: the firmware version, then the device text and its terminating zero.
QByteArray encodeIdentity(float firmware, const QString& deviceText);

} // namespace kvt::sim
