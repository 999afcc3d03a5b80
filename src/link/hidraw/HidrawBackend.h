// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/DeviceSet.h"
#include "link/HidBackend.h"
#include "link/hidapi/HidapiCalls.h"
#include "link/hidraw/HidrawSysfs.h"

#include <QStringList>
#include <QTimer>

namespace kvt {

class UdevMonitor;

// The HID backend on Linux: hidraw devices through the HID library (hidapi), report sizes from the
// kernel's copy of each report descriptor, device changes from udev or, where udev does not run, by
// polling. All handles must be closed before the backend is destroyed.
class HidrawBackend : public HidBackend {
    Q_OBJECT
public:
    explicit HidrawBackend(QObject* parent = nullptr);
    ~HidrawBackend() override;

    QList<HidDeviceInfo> enumerate() override;
    std::unique_ptr<HidHandle> open(const QString& path, quint32 instance) override;
    void startMonitoring() override;

private:
    // The devices present, without report sizes (cheap enough to run every second).
    QList<HidDeviceInfo> scan() const;
    // Remembers the listing; true when the device set changed since the last one.
    bool remember(const QList<HidDeviceInfo>& devices);
    void onTick();

    std::shared_ptr<HidapiCalls> hidapi_; // the library stays initialised while the backend lives
    HidrawSysfs sysfs_;
    UdevMonitor* udev_ = nullptr;
    QTimer burst_; // merges a burst of udev events into one notification
    QTimer tick_;  // polling, and re-checking devices listed without access
    bool monitoring_ = false;
    DeviceSet lastSeen_;
    QStringList waitingForAccess_;
};

} // namespace kvt
