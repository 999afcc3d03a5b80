// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/hidraw/HidrawHandle.h"

#include <hidapi.h>

namespace kvt {

HidrawHandle::HidrawHandle(hid_device* device, bool usesReportIds)
    : device_(device), usesReportIds_(usesReportIds) {}

HidrawHandle::~HidrawHandle() {
    std::lock_guard lock(HidapiUse::mutex());
    hid_close(device_);
}

int HidrawHandle::read(quint8* buffer, int capacity, int timeoutMs) {
    if (cancelled_.load())
        return 0;
    const int n = readReportIdFirst(buffer, capacity, usesReportIds_, [&](quint8* into, int room) {
        return hid_read_timeout(device_, into, static_cast<size_t>(room), timeoutMs);
    });
    // A report that arrived while the handle was being cancelled is dropped like later ones.
    return n > 0 && cancelled_.load() ? 0 : n;
}

bool HidrawHandle::write(const quint8* data, int length) {
    if (length <= 0)
        return false;
    return hid_write(device_, data, static_cast<size_t>(length)) == length;
}

void HidrawHandle::cancel() {
    cancelled_.store(true);
}

} // namespace kvt
