// SPDX-License-Identifier: GPL-3.0-or-later
#include "modbus/core/FramePreview.h"

#include <algorithm>

namespace kvt::modbus {

QString functionTextKey(int functionCode) {
    switch (functionCode) {
    case 1: // read coils
        return QStringLiteral("IDS_95");
    case 2: // read discrete inputs
        return QStringLiteral("IDS_96");
    case 3: // read holding registers
        return QStringLiteral("IDS_97");
    case 5: // write single coil
        return QStringLiteral("IDS_98");
    case 6: // write single register
        return QStringLiteral("IDS_99");
    case 16: // write multiple registers
        return QStringLiteral("IDS_100");
    default:
        return {};
    }
}

namespace {

void appendHex(QString& hex, quint8 byte) {
    static constexpr char Digits[] = "0123456789ABCDEF";
    hex += QLatin1Char(Digits[byte >> 4]);
    hex += QLatin1Char(Digits[byte & 0x0F]);
    hex += QLatin1String("  ");
}

QString textKeyFor(int address, int functionCode, int ownAddress) {
    return address != ownAddress || address == 0 ? QStringLiteral("IDS_94") : functionTextKey(functionCode);
}

} // namespace

FrameLogEntry describeFrameBytes(QByteArrayView frame, int ownAddress) {
    FrameLogEntry entry;
    entry.hex.reserve(4 * frame.size());
    for (const char c : frame)
        appendHex(entry.hex, quint8(c));
    entry.textKey = textKeyFor(frame.size() > 0 ? qint8(frame[0]) : 0, frame.size() > 1 ? qint8(frame[1]) : 0,
                               ownAddress);
    return entry;
}

QByteArray frameBytes(const QByteArray& response) {
    const int count = std::min<int>(ByteReader(response).i8(1), int(response.size()) - 2);
    return count > 0 ? response.mid(2, count) : QByteArray();
}

FrameLogEntry describeFrame(const ByteReader& response, int ownAddress) {
    FrameLogEntry entry;
    const int count = std::min<int>(response.i8(1), response.size() - 2);
    entry.hex.reserve(4 * std::max(count, 0));
    for (int i = 0; i < count; ++i)
        appendHex(entry.hex, response.u8(2 + i));
    entry.textKey = textKeyFor(response.i8(2), response.i8(3), ownAddress);
    return entry;
}

} // namespace kvt::modbus
