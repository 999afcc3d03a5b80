// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/DeviceSet.h"
#include "link/HidBackend.h"
#include "link/hidapi/DeviceInstances.h"
#include "link/hidapi/HidapiCalls.h"

#include <QSet>
#include <QTimer>

namespace kvt {

// The HID backend on every platform the HID library (hidapi) runs on, through its portable calls
// only: devices from its enumeration, report sizes of 65 bytes (report-ID byte included; the
// library gives no report descriptor before version 0.14), device changes found by listing the
// devices again every second. Supported controllers are opened once when they appear, to learn
// whether they can be opened for reading and writing; other devices are never opened and are
// listed without access.
class HidapiBackend : public HidBackend {
    Q_OBJECT
public:
    static constexpr int RescanMs = 1000;
    static constexpr int ReportLength = 65;

    // On the installed HID library.
    explicit HidapiBackend(QObject* parent = nullptr);
    // On `calls`, which stand in for the library in tests.
    explicit HidapiBackend(std::shared_ptr<HidapiCalls> calls, QObject* parent = nullptr);
    ~HidapiBackend() override;

    QList<HidDeviceInfo> enumerate() override;
    std::unique_ptr<HidHandle> open(const QString& path, quint32 instance) override;
    void startMonitoring() override;

    // Lists the devices and signals devicesChanged() when a device appeared, vanished or changed
    // access since the last listing. Runs every second once monitoring has started.
    void rescan();

private:
    QList<HidDeviceInfo> scan();
    bool canOpen(const HidapiListing& device);

    std::shared_ptr<HidapiCalls> calls_;
    // Shared with the open handles, which report a failed device from their own threads.
    std::shared_ptr<DeviceInstances> instances_;
    QSet<quint32> openable_; // controllers that opened for reading and writing
    QTimer tick_;
    bool monitoring_ = false;
    DeviceSet lastSeen_;
};

} // namespace kvt
