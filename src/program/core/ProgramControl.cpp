// SPDX-License-Identifier: GPL-3.0-or-later
#include "program/core/ProgramControl.h"

#include "link/OpCode.h"
#include "modbus/core/UserRegisters.h"

#include <bit>
#include <cmath>
#include <limits>

namespace kvt::program {

std::optional<RunState> decodeRunState(const ByteReader& response) {
    switch (response.u8(1)) {
    case quint8(RunState::Off):
        return RunState::Off;
    case quint8(RunState::Running):
        return RunState::Running;
    case quint8(RunState::Paused):
        return RunState::Paused;
    default:
        return std::nullopt;
    }
}

QByteArray encodeRunStateRequest() {
    return ByteWriter().u8(op::ProgramRunState).data();
}

QByteArray encodeStart() {
    return ByteWriter().u8(op::ProgramStart).data();
}

QByteArray encodeStop() {
    return ByteWriter().u8(op::Stop).data();
}

QByteArray encodePause() {
    return ByteWriter().u8(op::ProgramPause).data();
}

std::optional<float> registerValue(double typed) {
    if (!std::isfinite(typed) || std::fabs(typed) > double(std::numeric_limits<float>::max()))
        return std::nullopt;
    return float(typed);
}

std::optional<QByteArray> encodeSetRegister(int n, float value) {
    if (n > LastSettableRegister)
        return std::nullopt;
    ByteWriter w;
    w.u8(op::SetRegister);
    for (const quint8 byte : modbus::registerPairBytes(std::bit_cast<quint32>(value)))
        w.u8(byte);
    w.u8(quint8((n - modbus::FirstUserRegister) * 2));
    return w.data();
}

QByteArray encodeSaveRegisters() {
    return ByteWriter().u8(op::SaveRegisters).data();
}

} // namespace kvt::program
