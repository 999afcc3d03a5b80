// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sim/ConfigRecord.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <optional>

namespace kvt::sim {

// What a simulated controller keeps while it stays plugged in: its non-volatile memory (the
// configuration with the Modbus settings, the stored program, the saved user registers) and what
// it holds while powered (the user registers as they are now, the drive, the position, the
// outputs). A move under way is not part of it: the motor stands where it was.
struct SimMemory {
    QString model;             // "KVT318", "KVT317" or "PXA-KVT"
    ConfigRecord config;       // the firmware version in it is the device's, not restored
    QList<QByteArray> program; // stored program, one 10-byte record per command
    QByteArray registers;      // user registers 50..99 now, wire order
    QByteArray savedRegisters; // ... and in non-volatile memory
    bool driveOn = false;
    double position = 0;
    quint8 outputs = 0;

    bool operator==(const SimMemory&) const = default;
};

// As a JSON object with readable field names, and back. A field missing from the object, or of
// the wrong type, keeps the value of `fallback` (the factory state of the model, usually), so a
// state written by an older program still loads. None when the object names no known model.
QJsonObject toJson(const SimMemory& memory);
std::optional<SimMemory> memoryFromJson(const QJsonObject& object, const SimMemory& fallback);

} // namespace kvt::sim
