// SPDX-License-Identifier: GPL-3.0-or-later
#include "modbus/core/UserRegisters.h"

#include "format/core/NumberFormat.h"
#include "link/OpCode.h"

#include <bit>

namespace kvt::modbus {

quint32 readRegisterPair(const ByteReader& bytes, int at) {
    return quint32(bytes.u16be(at + 2)) << 16 | bytes.u16be(at);
}

std::array<quint8, 4> registerPairBytes(quint32 value) {
    return {quint8(value >> 8), quint8(value), quint8(value >> 24), quint8(value >> 16)};
}

QString realText(quint32 value) {
    return fmt::general(double(std::bit_cast<float>(value)), 8, 8);
}

QString registerText(quint32 value, RegisterView view) {
    return view == RegisterView::Real ? realText(value) : QString::number(qint32(value));
}

RegisterHalf decodeRegisterHalf(const ByteReader& response) {
    RegisterHalf half;
    half.upper = response.u8(1) != 0;
    half.firstRegister = half.upper ? 80 : FirstUserRegister;
    const int count = half.upper ? 10 : 15;
    for (int k = 0; k < count; ++k)
        half.values.append(readRegisterPair(response, 2 + 4 * k));
    return half;
}

GridCell gridCellOfPair(int firstRegister) {
    const int k = (firstRegister - FirstUserRegister) / 2;
    return {1 + k % 5, 1 + k / 5};
}

int pairOfGridCell(int column, int row) {
    return 38 + 2 * column + 10 * row;
}

QString pairLabel(int column, int row) {
    const int n = pairOfGridCell(column, row);
    return QStringLiteral("%1-%2").arg(n).arg(n + 1);
}

QString rowHeader(int row) {
    const int tens = 40 + 10 * row;
    return QStringLiteral("%1-%2").arg(tens).arg(tens + 9);
}

QString columnHeader(int column) {
    const int first = 2 * (column - 1);
    return QStringLiteral("+ %1-%2").arg(first).arg(first + 1);
}

QByteArray encodeReadRegisters() {
    return ByteWriter().u8(op::ReadRegisters).data();
}

QByteArray encodePreviewMode(PreviewMode mode) {
    return ByteWriter().u8(op::ModbusPreview).u8(quint8(mode)).data();
}

} // namespace kvt::modbus
