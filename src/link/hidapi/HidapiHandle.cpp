// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/hidapi/HidapiHandle.h"

#include <cstring>

namespace kvt {

int putReportIdFirst(quint8* buffer, int length, int capacity, int reportLength) {
    if (length != reportLength - 1 || length + 1 > capacity)
        return length;
    std::memmove(buffer + 1, buffer, static_cast<std::size_t>(length));
    buffer[0] = 0;
    return length + 1;
}

HidapiHandle::HidapiHandle(std::unique_ptr<HidapiDevice> device, int inputReportLength,
                           std::function<void()> lost)
    : device_(std::move(device)), inputReportLength_(inputReportLength), lost_(std::move(lost)) {}

int HidapiHandle::read(quint8* buffer, int capacity, int timeoutMs) {
    if (cancelled_.load() || capacity <= 0)
        return 0;
    const int n = device_->readTimeout(buffer, capacity, timeoutMs);
    if (n < 0) {
        if (lost_)
            lost_();
        return -1;
    }
    // A report that arrived while the handle was being cancelled is dropped like later ones.
    if (n == 0 || cancelled_.load())
        return 0;
    return putReportIdFirst(buffer, n, capacity, inputReportLength_);
}

bool HidapiHandle::write(const quint8* data, int length) {
    if (length <= 0)
        return false;
    return device_->write(data, length) == length;
}

void HidapiHandle::cancel() {
    cancelled_.store(true);
}

} // namespace kvt
