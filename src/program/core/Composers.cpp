// SPDX-License-Identifier: GPL-3.0-or-later
#include "program/core/Composers.h"

namespace kvt::program {

namespace {

using namespace record;

void putU32(CommandRecord& record, int at, quint32 value) {
    for (int i = 0; i < 4; ++i)
        record[at + i] = static_cast<quint8>(value >> (8 * i));
}

void cleared(CommandRecord& record, quint8 code) {
    record.fill(0);
    record[0] = code;
}

} // namespace

void composeProgramStart(CommandRecord& record) {
    cleared(record, ProgramStart);
}

void composeRunAtSpeed(CommandRecord& record, quint32 speedBits) {
    cleared(record, RunAtSpeed);
    putU32(record, 1, speedBits);
}

void composeRunAtAnalogSpeed(CommandRecord& record, bool negative) {
    cleared(record, RunAtSpeed);
    record[9] = negative ? AnalogSpeedNegative : AnalogSpeedPositive;
}

void composeStopMotor(CommandRecord& record) {
    cleared(record, StopMotor);
}

void composeLabel(CommandRecord& record, qint32 label) {
    record[0] = Label;
    putU32(record, 1, static_cast<quint32>(label));
}

void composeJump(CommandRecord& record, qint32 label) {
    record[0] = Jump;
    putU32(record, 6, static_cast<quint32>(label));
}

void composeConditionalJump(CommandRecord& record, quint8 input, quint8 condition, qint32 label) {
    record[0] = ConditionalJump;
    record[1] = input;
    record[2] = condition;
    putU32(record, 6, static_cast<quint32>(label));
}

void composePause(CommandRecord& record, qint32 milliseconds) {
    record[0] = Pause;
    putU32(record, 1, static_cast<quint32>(milliseconds));
}

void composeWaitForInput(CommandRecord& record, quint8 input, quint8 state) {
    record[0] = WaitForInput;
    record[1] = input;
    record[2] = state;
}

} // namespace kvt::program
