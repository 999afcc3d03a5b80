// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "program/core/CommandRecord.h"

namespace kvt::program {

// The program commands this system composes itself (the auto-function programs are built from
// them). Operands are 32-bit little-endian. Composers marked "clears" first zero the whole record;
// the others write the code and their operands only, leaving every other byte as it was, so a
// caller that wants clean records starts from zeros.

// Code 4, clears: the first command of a program.
void composeProgramStart(CommandRecord& record);

// Code 6, clears: run at a speed; bytes 1..4 carry `speedBits`, the bit pattern of an IEEE-754
// single-precision speed (signed).
void composeRunAtSpeed(CommandRecord& record, quint32 speedBits);

// Code 6, clears: run at the speed the analog input gives; byte 9 = 253 when `negative` is true
// (travel in the negative direction), 254 when it is false.
void composeRunAtAnalogSpeed(CommandRecord& record, bool negative);

// Code 10, clears: stop the motor.
void composeStopMotor(CommandRecord& record);

// Code 15: label `label` (bytes 1..4), the target of jumps.
void composeLabel(CommandRecord& record, qint32 label);

// Code 16: jump to label `label` (bytes 6..9).
void composeJump(CommandRecord& record, qint32 label);

// Code 17: jump to label `label` (bytes 6..9) depending on input `input` (byte 1) and
// `condition` (byte 2; 2 = while the input has not become active).
void composeConditionalJump(CommandRecord& record, quint8 input, quint8 condition, qint32 label);

// Code 19: pause for `milliseconds` (bytes 1..4).
void composePause(CommandRecord& record, qint32 milliseconds);

// Code 21: wait until input `input` (byte 1) is in state `state` (byte 2; 1 = active).
void composeWaitForInput(CommandRecord& record, quint8 input, quint8 state);

// Input numbers of the program commands: Home1 is input 3, Home2 input 4.
inline constexpr quint8 InputHome1 = 3;
inline constexpr quint8 InputHome2 = 4;
// Operand of code 21: wait until the input is active.
inline constexpr quint8 StateActive = 1;
// Condition of code 17: jump while the input has not become active.
inline constexpr quint8 ConditionNotActive = 2;

} // namespace kvt::program
