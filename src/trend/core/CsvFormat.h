// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "trend/core/EventList.h"
#include "trend/core/Sample.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

// Rows of a trend file: comma-separated values (RFC 4180: CRLF line ends, a field with a comma,
// quote or line break quoted, quotes doubled), numbers always with a '.' decimal point, so
// spreadsheets and analysis tools read the file the same way on any locale.
namespace kvt::trend::csv {

// Where a file's time columns start: the run time of its first row and the wall-clock time of
// that instant. A row's wall time is the start's plus the monotonic time since, so a clock
// change during a recording does not bend the time column.
struct TimeBase {
    qint64 startNs = 0;
    QDateTime startWall;

    QDateTime wallTime(qint64 timeNs) const;
    double seconds(qint64 timeNs) const { return double(timeNs - startNs) * 1e-9; }
};

// One field, quoted when it has to be.
QString field(const QString& text);

// The column names, with their units; `unit` is the position unit ("obr.", "mm", ...).
QStringList columnNames(const QString& unit);
QByteArray header(const QString& unit);

// One row per sample (the event column empty) and one per event (only the two time columns and
// the event column filled).
QByteArray sampleRow(const Sample& sample, const TimeBase& base);
QByteArray eventRow(const Event& event, const TimeBase& base);

// Numbers as written: the shortest text that reads back as the same single-precision value
// ("10", "0.1", "1e-07"); millivolts as volts with three decimals; wall time ISO 8601 with
// milliseconds and the offset from UTC.
QString floatText(float value);
QString millivoltText(quint32 millivolts);
QString wallTimeText(const QDateTime& time);

} // namespace kvt::trend::csv
