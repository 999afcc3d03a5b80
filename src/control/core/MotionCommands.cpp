// SPDX-License-Identifier: GPL-3.0-or-later
#include "control/core/MotionCommands.h"

#include "link/ByteReader.h"

#include <cmath>

namespace kvt::control {

float limitToRange(double value, float lower, float upper) {
    if (std::isnan(value))
        return lower;
    float v = static_cast<float>(value);
    if (v > upper)
        v = upper;
    if (v < lower)
        v = lower;
    return v;
}

QByteArray encodeFloatCommand(quint8 code, float value) {
    return ByteWriter().u8(code).f32le(value).data();
}

QByteArray encodeCode(quint8 code) {
    return ByteWriter().u8(code).data();
}

QByteArray encodeOutputToggle(quint8 outputMask, int bit) {
    return ByteWriter().u8(op::SetOutputs).u8(static_cast<quint8>((outputMask ^ (1u << bit)) & 0x03)).data();
}

QByteArray encodeInputToggle(quint8 inputMask, int bit) {
    return ByteWriter()
        .u8(op::SimulateInputs)
        .u8(static_cast<quint8>((inputMask ^ (1u << bit)) & 0x3F))
        .data();
}

double limitMotionParam(double value) {
    if (std::isnan(value))
        return MotionParamLower;
    if (value > MotionParamUpper)
        value = MotionParamUpper;
    if (value < MotionParamLower)
        value = MotionParamLower;
    return value;
}

QByteArray encodeMotionParams(float maxSpeed, float acceleration) {
    return ByteWriter().u8(op::SetMotionParams).zeros(4).f32le(maxSpeed).f32le(acceleration).data();
}

} // namespace kvt::control
