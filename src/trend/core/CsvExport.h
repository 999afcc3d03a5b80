// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "trend/core/CsvFormat.h"
#include "trend/core/EventList.h"
#include "trend/core/SampleBuffer.h"

#include <QString>

namespace kvt::trend {

// Writes the samples and events from `fromNs` to `toNs` (both included) to a trend file, in time
// order (an event before a sample of the same instant), with the columns of a recording. The file
// is replaced only once it is complete. False, with `error` set, when it cannot be written.
bool exportCsv(const QString& path, const SampleBuffer& samples, const EventList& events, qint64 fromNs,
               qint64 toNs, const QString& unit, const csv::TimeBase& base, QString* error);

} // namespace kvt::trend
