// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QStringList>
#include <optional>

// The controller's Modbus-RTU slave settings on its RS485 interface: the baud-rate code and the
// slave address, written with command 222 and read back in the configuration record.
namespace kvt::config {

// Baud rates by code (the code is the list position): "9600" .. "115200".
QStringList modbusRateItems();
// Slave addresses "1" .. "32"; the address is the list position plus 1.
QStringList modbusAddressItems();
constexpr int ModbusAddressCount = 32;

// Command 222: the rate code, then the address (list position plus 1). Positions outside the
// lists are the caller's to prevent; a missing selection must not reach this function.
QByteArray encodeModbusLink(int rateIndex, int addressIndex);

// Read-back from the configuration record (both bytes signed). Only addresses 1..16 and rate
// codes 0..3 are taken; anything else leaves the selector as it is.
std::optional<int> modbusAddressIndexFromReport(qint8 address);
std::optional<int> modbusRateIndexFromReport(qint8 rate);

} // namespace kvt::config
