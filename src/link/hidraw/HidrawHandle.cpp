// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/hidraw/HidrawHandle.h"

namespace kvt {

HidrawHandle::HidrawHandle(std::unique_ptr<HidapiDevice> device, bool usesReportIds)
    : device_(std::move(device)), usesReportIds_(usesReportIds) {}

int HidrawHandle::read(quint8* buffer, int capacity, int timeoutMs) {
    if (cancelled_.load())
        return 0;
    const int n = readReportIdFirst(buffer, capacity, usesReportIds_, [&](quint8* into, int room) {
        return device_->readTimeout(into, room, timeoutMs);
    });
    // A report that arrived while the handle was being cancelled is dropped like later ones.
    return n > 0 && cancelled_.load() ? 0 : n;
}

bool HidrawHandle::write(const quint8* data, int length) {
    if (length <= 0)
        return false;
    return device_->write(data, length) == length;
}

void HidrawHandle::cancel() {
    cancelled_.store(true);
}

} // namespace kvt
