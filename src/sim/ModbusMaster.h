// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "modbus/core/Crc.h"

#include <QByteArray>
#include <QList>
#include <QtGlobal>

namespace kvt::sim {

// A Modbus-RTU master on the controller's RS485 bus: every FramePeriodMs it sends the next frame
// of a fixed round, complete with its CRC. Most frames go to the controller's own slave address
// (reads of holding registers, single and multiple register writes); now and then one goes to
// another slave.
class ModbusMaster {
public:
    static constexpr int FramePeriodMs = 700;
    static constexpr int RoundLength = 5;

    // The frames put on the bus during the next `ms` milliseconds, for a controller that answers
    // to `ownAddress`.
    QList<QByteArray> advance(int ms, quint8 ownAddress);

    // Frame `step` of the round (taken modulo the round length).
    static QByteArray frame(int step, quint8 ownAddress, quint16 writtenValue);

private:
    int elapsed_ = 0;
    int step_ = 0;
    quint16 writtenValue_ = 0;
};

// The bus master's frames carry the same CRC the frame decoder checks.
using modbus::modbusCrc;
using modbus::withCrc;

} // namespace kvt::sim
