#include "link/hidraw/HidrawHandle.h"

#include <hidapi.h>

namespace kvt {

HidrawHandle::HidrawHandle(hid_device* device, bool usesReportIds)
    : m_device(device), m_usesReportIds(usesReportIds) {}

HidrawHandle::~HidrawHandle() {
    hid_close(m_device);
}

int HidrawHandle::read(quint8* buffer, int capacity, int timeoutMs) {
    if (m_cancelled.load())
        return 0;
    const int offset = m_usesReportIds ? 0 : 1;
    if (capacity <= offset)
        return -1;
    const int n =
        hid_read_timeout(m_device, buffer + offset, static_cast<size_t>(capacity - offset), timeoutMs);
    if (n < 0)
        return -1;
    if (n == 0 || m_cancelled.load())
        return 0;
    if (offset > 0)
        buffer[0] = 0;
    return n + offset;
}

bool HidrawHandle::write(const quint8* data, int length) {
    if (length <= 0)
        return false;
    return hid_write(m_device, data, static_cast<size_t>(length)) == length;
}

void HidrawHandle::cancel() {
    m_cancelled.store(true);
}

} // namespace kvt
