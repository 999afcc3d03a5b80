// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/OpCode.h"

#include <QByteArray>
#include <QtGlobal>

namespace kvt::control {

// A one-float motion command and the range its value is limited to (exact single-precision
// bounds).
struct FloatCommand {
    op::Code code;
    float lower;
    float upper;
};

inline constexpr FloatCommand RunAtSpeedCommand{op::RunAtSpeed, -9999999.0f, 9999999.0f};
inline constexpr FloatCommand GoToCommand{op::GoTo, -100000000.0f, 100000000.0f};
inline constexpr FloatCommand MoveByCommand{op::MoveBy, -9999999.0f, 9999999.0f};
inline constexpr FloatCommand HomeCommand{op::Home, -30000.0f, 30000.0f};

// The value a float command carries: rounded to single precision, then limited to at most
// `upper` and then to at least `lower`. A value that is not a number is taken as the lower bound.
float limitToRange(double value, float lower, float upper);

// Five bytes: the operation code, then the value little-endian.
QByteArray encodeFloatCommand(quint8 code, float value);

// One-byte commands: drive on (151), drive off (152), stop (157), zero the position (217).
QByteArray encodeCode(quint8 code);

// Output toggle (149): the output mask last reported with bit `bit` (0 Out1, 1 Out2) inverted.
QByteArray encodeOutputToggle(quint8 outputMask, int bit);
// Input simulation toggle (150): the input mask last reported with bit `bit` (0 Run .. 5 Home2)
// inverted.
QByteArray encodeInputToggle(quint8 inputMask, int bit);

// The working maximum speed and acceleration (224) are each limited to this range.
inline constexpr double MotionParamLower = 0.0001;
inline constexpr double MotionParamUpper = 1000000.0;
double limitMotionParam(double value);

// Command 224, 13 bytes: the code, four unassigned bytes sent as zero, the maximum speed and the
// acceleration as little-endian singles.
QByteArray encodeMotionParams(float maxSpeed, float acceleration);

} // namespace kvt::control
