// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/hidraw/UdevMonitor.h"

#include <QSocketNotifier>
#include <libudev.h>

namespace kvt {

UdevMonitor::UdevMonitor(const char* subsystem, QObject* parent) : QObject(parent) {
    udev_ = udev_new();
    if (!udev_)
        return;
    monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
    if (!monitor_)
        return;
    if (udev_monitor_filter_add_match_subsystem_devtype(monitor_, subsystem, nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor_) < 0)
        return;
    const int fd = udev_monitor_get_fd(monitor_);
    if (fd < 0)
        return;
    notifier_ = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &UdevMonitor::drain);
}

UdevMonitor::~UdevMonitor() {
    delete notifier_; // stop watching the descriptor before it is closed
    if (monitor_)
        udev_monitor_unref(monitor_);
    if (udev_)
        udev_unref(udev_);
}

void UdevMonitor::drain() {
    // The monitor socket does not block: take every queued event, then report them as one.
    int events = 0;
    while (udev_device* device = udev_monitor_receive_device(monitor_)) {
        udev_device_unref(device);
        ++events;
    }
    if (events > 0)
        emit deviceEvent();
}

} // namespace kvt
