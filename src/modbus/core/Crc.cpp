// SPDX-License-Identifier: GPL-3.0-or-later
#include "modbus/core/Crc.h"

#include <array>

namespace kvt::modbus {

namespace {

// One step of the bitwise algorithm per byte value, so a byte costs one lookup.
constexpr std::array<quint16, 256> crcTable() {
    std::array<quint16, 256> table{};
    for (unsigned value = 0; value < 256; ++value) {
        unsigned crc = value;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
        table[value] = quint16(crc);
    }
    return table;
}

constexpr std::array<quint16, 256> CrcTable = crcTable();

} // namespace

quint16 modbusCrc(QByteArrayView bytes) {
    quint16 crc = 0xFFFF;
    for (const char c : bytes)
        crc = quint16((crc >> 8) ^ CrcTable[(crc ^ quint8(c)) & 0xFF]);
    return crc;
}

QByteArray withCrc(QByteArray pdu) {
    const quint16 crc = modbusCrc(pdu);
    pdu.append(char(crc & 0xFF));
    pdu.append(char(crc >> 8));
    return pdu;
}

} // namespace kvt::modbus
