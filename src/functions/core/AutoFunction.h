// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "format/core/NumberFormat.h"
#include "program/core/CommandRecord.h"

#include <QList>
#include <QString>
#include <optional>

namespace kvt::functions {

// The back-and-forth function: the drive runs in the positive direction until input Home2
// becomes active, stops, waits W1, runs in the negative direction until Home1 becomes active,
// stops, waits W2, and starts over. The speed is fixed or follows the analog input.
struct AutoFunctionSettings {
    float speed = 1.0f; // S in user units per second, 0.001..1000
    qint32 wait1 = 500; // W1 in milliseconds, 0..1000000
    qint32 wait2 = 500; // W2 in milliseconds, 0..1000000
    bool analogSpeed = false;
};

inline constexpr double MaxSpeed = 1000.0;
inline constexpr float MinSpeed = 0.001f;
inline constexpr qint32 MaxWait = 1000000;

// The range of S: above 1000 becomes 1000; then, in single precision, anything below 0.001
// (zero and negative speeds included) becomes 0.001.
float limitSpeed(double speed);
// The range of a wait: above 1000000 becomes 1000000, below 0 becomes 0.
qint32 limitWait(qint32 milliseconds);

// Reads the speed field as a decimal entry (a point and a comma both serve as the decimal mark)
// and limits it; no value when the text is not a number.
std::optional<float> readSpeed(const QString& text, fmt::Separators separators);
// Reads a wait field as an integer entry and limits it; no value when the text is not an integer.
std::optional<qint32> readWait(const QString& text);

// The texts the fields show after validation: the speed as general(5, 5), a wait in decimal.
QString speedText(float speed, fmt::Separators separators);
QString waitText(qint32 milliseconds);

// The program of the function: 11 records with a fixed speed, 14 when the speed follows the
// analog input (it is set again every 20 ms while the drive travels; S is then not used).
QList<program::CommandRecord> generateProgram(const AutoFunctionSettings& settings);

} // namespace kvt::functions
