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

FrameLogEntry describeFrame(const ByteReader& response, int ownAddress) {
    FrameLogEntry entry;
    const int count = std::min<int>(response.i8(1), response.size() - 2);
    entry.hex.reserve(4 * std::max(count, 0));
    static constexpr char Digits[] = "0123456789ABCDEF";
    for (int i = 0; i < count; ++i) {
        const quint8 byte = response.u8(2 + i);
        entry.hex += QLatin1Char(Digits[byte >> 4]);
        entry.hex += QLatin1Char(Digits[byte & 0x0F]);
        entry.hex += QLatin1String("  ");
    }
    const int address = response.i8(2);
    entry.textKey =
        address != ownAddress || address == 0 ? QStringLiteral("IDS_94") : functionTextKey(response.i8(3));
    return entry;
}

} // namespace kvt::modbus
