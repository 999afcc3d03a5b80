#include "link/hidraw/HidrawHandle.h"

#include <hidapi.h>

namespace kvt {

HidrawHandle::HidrawHandle(hid_device* device, bool usesReportIds)
    : device_(device), usesReportIds_(usesReportIds) {}

HidrawHandle::~HidrawHandle() {
    hid_close(device_);
}

int HidrawHandle::read(quint8* buffer, int capacity, int timeoutMs) {
    if (cancelled_.load())
        return 0;
    const int offset = usesReportIds_ ? 0 : 1;
    if (capacity <= offset)
        return -1;
    const int n =
        hid_read_timeout(device_, buffer + offset, static_cast<size_t>(capacity - offset), timeoutMs);
    if (n < 0)
        return -1;
    if (n == 0 || cancelled_.load())
        return 0;
    if (offset > 0)
        buffer[0] = 0;
    return n + offset;
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
