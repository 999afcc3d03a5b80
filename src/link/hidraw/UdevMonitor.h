// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QSocketNotifier;
struct udev;
struct udev_monitor;

namespace kvt {

// Listens to the device events udev broadcasts for one subsystem, after its rules have run (so
// permissions granted by rules are in place when an event arrives).
class UdevMonitor : public QObject {
    Q_OBJECT
public:
    explicit UdevMonitor(const char* subsystem, QObject* parent = nullptr);
    ~UdevMonitor() override;

    // False when the monitor could not be set up; it then never signals.
    bool isValid() const { return notifier_ != nullptr; }

signals:
    // One or more devices of the subsystem were added, removed or changed.
    void deviceEvent();

private:
    void drain();

    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace kvt
