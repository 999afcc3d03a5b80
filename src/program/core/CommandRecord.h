// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>
#include <array>

namespace kvt::program {

// One command of a motion program: byte 0 is the command code, bytes 1..9 its operands.
using CommandRecord = std::array<quint8, 10>;

// Codes of the records the system composes itself (and the simulated controller runs).
namespace record {
enum Code : quint8 {
    ProgramStart = 4,
    RunAtSpeed = 6,
    StopMotor = 10,
    Label = 15,
    Jump = 16,
    ConditionalJump = 17,
    Pause = 19,
    WaitForInput = 21,
};
// Byte 9 of a RunAtSpeed record: a fixed speed, or the speed of the analog input in one direction.
constexpr quint8 FixedSpeed = 0;
constexpr quint8 AnalogSpeedNegative = 253;
constexpr quint8 AnalogSpeedPositive = 254;
} // namespace record

} // namespace kvt::program
