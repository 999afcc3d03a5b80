// SPDX-License-Identifier: GPL-3.0-or-later
// The HID report-descriptor parser on arbitrary descriptor bytes: whatever a device declares, the
// parser ends, and the lengths it gives fit the frames the link builds.

#include "FuzzCheck.h"
#include "link/hidraw/ReportDescriptor.h"

#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::optional<kvt::ReportLayout> layout =
        kvt::parseReportDescriptor(std::span<const quint8>(data, size));
    if (!layout)
        return 0;
    // 65535 bytes of report at most, plus the report-ID byte.
    FUZZ_CHECK(layout->inputReportLength >= 0 && layout->inputReportLength <= 65536);
    FUZZ_CHECK(layout->outputReportLength >= 0 && layout->outputReportLength <= 65536);
    // The same bytes give the same layout.
    FUZZ_CHECK(kvt::parseReportDescriptor(std::span<const quint8>(data, size)) == layout);
    return 0;
}
