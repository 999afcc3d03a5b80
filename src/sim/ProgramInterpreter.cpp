// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/ProgramInterpreter.h"

#include "link/Bytes.h"
#include "program/core/CommandRecord.h"

#include <cmath>

namespace kvt::sim {

using namespace program::record;

void ProgramInterpreter::advance(int ms, ProgramMemory& memory, ProgramMachine& machine) {
    const ProgramMemory::RunState state = memory.runState();
    if (state != seen_) {
        if (state == ProgramMemory::Running && seen_ == ProgramMemory::Off) {
            current_ = 0;
            pauseLeft_ = 0;
            lastSpeedRecord_.clear();
        } else if (state == ProgramMemory::Running) {
            if (!lastSpeedRecord_.isEmpty())
                runAt(lastSpeedRecord_, machine);
        } else {
            machine.stopMotor();
        }
        seen_ = state;
    }
    if (state != ProgramMemory::Running)
        return;
    for (int i = 0; i < ms; ++i) {
        if (!runMillisecond(memory, machine)) {
            memory.stop();
            seen_ = ProgramMemory::Off;
            machine.stopMotor();
            return;
        }
    }
}

bool ProgramInterpreter::runMillisecond(const ProgramMemory& memory, ProgramMachine& machine) {
    if (pauseLeft_ > 0 && --pauseLeft_ > 0)
        return true;
    for (int budget = RecordsPerMs; budget > 0; --budget) {
        if (current_ < 0 || current_ >= memory.length())
            return false;
        switch (execute(memory.record(current_), memory, machine)) {
        case Step::Next:
            break;
        case Step::Wait:
            return true;
        case Step::End:
            return false;
        }
    }
    return true;
}

ProgramInterpreter::Step ProgramInterpreter::execute(const QByteArray& record, const ProgramMemory& memory,
                                                     ProgramMachine& machine) {
    const auto input = [&](int at) { return machine.programInput(bytes::u8(record, at)); };
    switch (bytes::u8(record, 0)) {
    case ProgramStart:
        machine.switchDriveOn();
        break;
    case RunAtSpeed:
        if (runAt(record, machine) == Step::End)
            return Step::End;
        lastSpeedRecord_ = record;
        break;
    case StopMotor:
        machine.stopMotor();
        lastSpeedRecord_.clear();
        break;
    case Label:
        break;
    case Jump: {
        const std::optional<int> target = labelIndex(memory, bytes::i32le(record, 6));
        if (!target)
            return Step::End;
        current_ = *target;
        return Step::Next;
    }
    case ConditionalJump: {
        const std::optional<bool> active = input(1);
        const quint8 condition = bytes::u8(record, 2);
        const std::optional<int> target = labelIndex(memory, bytes::i32le(record, 6));
        if (!active || (condition != 1 && condition != 2) || !target)
            return Step::End;
        if (*active == (condition == 1)) {
            current_ = *target;
            return Step::Next;
        }
        break;
    }
    case Pause: {
        const qint32 ms = bytes::i32le(record, 1);
        ++current_;
        if (ms <= 0)
            return Step::Next;
        pauseLeft_ = ms;
        return Step::Wait;
    }
    case WaitForInput: {
        const std::optional<bool> active = input(1);
        const quint8 state = bytes::u8(record, 2);
        if (!active || state > 1)
            return Step::End;
        if (*active != (state == 1))
            return Step::Wait;
        break;
    }
    default:
        return Step::End;
    }
    ++current_;
    return Step::Next;
}

ProgramInterpreter::Step ProgramInterpreter::runAt(const QByteArray& record, ProgramMachine& machine) {
    switch (bytes::u8(record, 9)) {
    case FixedSpeed: {
        const float speed = bytes::f32le(record, 1);
        if (!std::isfinite(speed))
            return Step::End;
        machine.runAtSpeed(speed);
        return Step::Next;
    }
    case AnalogSpeedPositive:
        machine.runAtSpeed(std::abs(machine.analogInputSpeed()));
        return Step::Next;
    case AnalogSpeedNegative:
        machine.runAtSpeed(-std::abs(machine.analogInputSpeed()));
        return Step::Next;
    default:
        return Step::End;
    }
}

std::optional<int> ProgramInterpreter::labelIndex(const ProgramMemory& memory, qint32 label) const {
    for (int i = 0; i < memory.length(); ++i) {
        const QByteArray r = memory.record(i);
        if (bytes::u8(r, 0) == Label && bytes::i32le(r, 1) == label)
            return i;
    }
    return std::nullopt;
}

} // namespace kvt::sim
