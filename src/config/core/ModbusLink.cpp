// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/core/ModbusLink.h"

#include "link/OpCode.h"

namespace kvt::config {

QStringList modbusRateItems() {
    return {QStringLiteral("9600"), QStringLiteral("19200"), QStringLiteral("38400"), QStringLiteral("57600"),
            QStringLiteral("115200")};
}

QStringList modbusAddressItems() {
    QStringList items;
    for (int address = 1; address <= ModbusAddressCount; ++address)
        items.append(QString::number(address));
    return items;
}

QByteArray encodeModbusLink(int rateIndex, int addressIndex) {
    QByteArray b(3, '\0');
    b[0] = char(op::SetModbusLink);
    b[1] = char(quint8(rateIndex));
    b[2] = char(quint8(addressIndex + 1));
    return b;
}

std::optional<int> modbusAddressIndexFromReport(qint8 address) {
    // Addresses above 16 are settable but the report's range stops there.
    if (address >= 1 && address <= 16)
        return address - 1;
    return std::nullopt;
}

std::optional<int> modbusRateIndexFromReport(qint8 rate) {
    if (rate >= 0 && rate <= 3)
        return int(rate);
    return std::nullopt;
}

} // namespace kvt::config
