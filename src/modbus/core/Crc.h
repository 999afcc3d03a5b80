// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

// The CRC-16 of Modbus RTU (polynomial A001h reflected, start FFFFh), the one implementation the
// simulated bus master and the frame decoder share. On the wire it follows the frame low byte
// first, so a whole frame checks to zero.
namespace kvt::modbus {

quint16 modbusCrc(QByteArrayView bytes);
// `pdu` with its CRC appended, low byte first, as it travels on the bus.
QByteArray withCrc(QByteArray pdu);

} // namespace kvt::modbus
