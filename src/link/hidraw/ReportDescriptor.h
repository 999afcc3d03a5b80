// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>
#include <optional>
#include <span>

namespace kvt {

// Report sizes declared by a HID report descriptor, as the application frames reports.
struct ReportLayout {
    bool usesReportIds = false; // input reports start with a report ID byte
    // The largest report of each kind over all report IDs, in bytes, plus the report-ID byte (which
    // is 0 when the device declares no IDs); 0 when the descriptor declares no report of that kind.
    int inputReportLength = 0;
    int outputReportLength = 0;

    bool operator==(const ReportLayout&) const = default;
};

// Computes the report sizes from the raw descriptor bytes. Returns nothing for a descriptor that
// declares no report, is truncated inside an item, pops an empty state stack, uses report ID 0,
// leaves collections unbalanced or declares a report larger than 65535 bytes.
std::optional<ReportLayout> parseReportDescriptor(std::span<const quint8> descriptor);

} // namespace kvt
