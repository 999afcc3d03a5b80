#include "link/hidraw/UdevMonitor.h"

#include <QSocketNotifier>
#include <libudev.h>

namespace kvt {

UdevMonitor::UdevMonitor(const char* subsystem, QObject* parent) : QObject(parent) {
    m_udev = udev_new();
    if (!m_udev)
        return;
    m_monitor = udev_monitor_new_from_netlink(m_udev, "udev");
    if (!m_monitor)
        return;
    if (udev_monitor_filter_add_match_subsystem_devtype(m_monitor, subsystem, nullptr) < 0 ||
        udev_monitor_enable_receiving(m_monitor) < 0)
        return;
    const int fd = udev_monitor_get_fd(m_monitor);
    if (fd < 0)
        return;
    m_notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &UdevMonitor::drain);
}

UdevMonitor::~UdevMonitor() {
    delete m_notifier; // stop watching the descriptor before it is closed
    if (m_monitor)
        udev_monitor_unref(m_monitor);
    if (m_udev)
        udev_unref(m_udev);
}

void UdevMonitor::drain() {
    // The monitor socket does not block: take every queued event, then report them as one.
    int events = 0;
    while (udev_device* device = udev_monitor_receive_device(m_monitor)) {
        udev_device_unref(device);
        ++events;
    }
    if (events > 0)
        emit deviceEvent();
}

} // namespace kvt
