// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/HidBackend.h"
#include "link/hidapi/HidapiCalls.h"

#include <atomic>
#include <functional>

namespace kvt {

// Puts a report the HID library read (`length` bytes at the start of `buffer`) report ID first.
// The library hands a report over with its report ID only when the device numbers its reports; a
// report exactly one byte shorter than `reportLength` (which counts the report-ID byte) is taken
// to lack it, and a 0 is put in front. Returns the new length; `capacity` must leave room.
int putReportIdFirst(quint8* buffer, int length, int capacity, int reportLength);

// A device open through the HID library's portable calls. Input reports are handed out report ID
// first; a failed read calls `lost` (from the reading thread) before it returns -1.
class HidapiHandle final : public HidHandle {
public:
    HidapiHandle(std::unique_ptr<HidapiDevice> device, int inputReportLength, std::function<void()> lost);

    int read(quint8* buffer, int capacity, int timeoutMs) override;
    bool write(const quint8* data, int length) override;

    // A read that is already waiting cannot be interrupted; it ends at its time-out and, like every
    // later read, returns 0.
    void cancel() override;

private:
    std::unique_ptr<HidapiDevice> device_;
    int inputReportLength_;
    std::function<void()> lost_;
    std::atomic<bool> cancelled_{false};
};

} // namespace kvt
