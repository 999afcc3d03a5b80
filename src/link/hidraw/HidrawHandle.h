// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/HidBackend.h"
#include "link/hidapi/HidapiCalls.h"

#include <atomic>
#include <memory>

namespace kvt {

// Reads one input report with `readRaw(destination, capacity)`, the HID library's read (bytes read,
// 0 when none arrived, negative on failure), and returns it report ID first: when the device
// declares no report IDs a 0 is put in front. Returns the length, 0, or -1 on failure.
template <typename ReadRaw>
int readReportIdFirst(quint8* buffer, int capacity, bool usesReportIds, ReadRaw&& readRaw) {
    const int offset = usesReportIds ? 0 : 1;
    if (capacity <= offset)
        return -1;
    const int n = readRaw(buffer + offset, capacity - offset);
    if (n <= 0)
        return n < 0 ? -1 : 0;
    if (offset > 0)
        buffer[0] = 0;
    return n + offset;
}

// An open hidraw device. Input reports are handed out report ID first even when the device declares
// no report IDs (the kernel then delivers them without that byte, so a 0 is put in front).
class HidrawHandle final : public HidHandle {
public:
    HidrawHandle(std::unique_ptr<HidapiDevice> device, bool usesReportIds);

    int read(quint8* buffer, int capacity, int timeoutMs) override;
    bool write(const quint8* data, int length) override;

    // A read that is already waiting cannot be interrupted; it ends at its time-out and, like every
    // later read, returns 0.
    void cancel() override;

private:
    std::unique_ptr<HidapiDevice> device_; // holds the HID library until it is closed
    bool usesReportIds_;
    std::atomic<bool> cancelled_{false};
};

} // namespace kvt
