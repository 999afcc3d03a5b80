// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/hidraw/HidrawBackend.h"

#include "link/hidraw/HidapiLibrary.h"
#include "link/hidraw/HidrawHandle.h"
#include "link/hidraw/UdevMonitor.h"

#include <QFile>
#include <algorithm>
#include <hidapi.h>
#include <mutex>

namespace kvt {

namespace {

constexpr int BurstMs = 75;
constexpr int TickMs = 1000;
constexpr int FallbackReportLength = 65;

// Present while udev runs; a udev monitor opened without it is accepted but never delivers.
const char* const UdevControlSocket = "/run/udev/control";

QString fromWide(const wchar_t* text) {
    return text ? QString::fromWCharArray(text) : QString();
}

} // namespace

HidrawBackend::HidrawBackend(QObject* parent) : HidBackend(parent) {
    burst_.setSingleShot(true);
    burst_.setInterval(BurstMs);
    connect(&burst_, &QTimer::timeout, this, &HidBackend::devicesChanged);
    tick_.setInterval(TickMs);
    connect(&tick_, &QTimer::timeout, this, &HidrawBackend::onTick);
}

HidrawBackend::~HidrawBackend() = default;

QList<HidDeviceInfo> HidrawBackend::scan() const {
    QList<HidDeviceInfo> listed;
    {
        std::lock_guard lock(HidapiUse::mutex());
        hid_device_info* const first = hid_enumerate(0, 0);
        for (const hid_device_info* info = first; info; info = info->next) {
            HidDeviceInfo device;
            device.path = QFile::decodeName(info->path);
            device.vendorId = info->vendor_id;
            device.productId = info->product_id;
            device.product = fromWide(info->product_string);
            device.serial = fromWide(info->serial_number);
            listed.append(device);
        }
        hid_free_enumeration(first);
    }

    QList<HidDeviceInfo> present;
    for (HidDeviceInfo& device : uniqueByPath(listed)) {
        const NodeAccess access = checkNodeAccess(device.path);
        const std::optional<quint32> instance = sysfs_.instance(device.path);
        // A node that is gone, or whose device the kernel no longer describes, has been unplugged.
        if (access == NodeAccess::Missing || !instance)
            continue;
        device.access = access == NodeAccess::ReadWrite;
        device.instance = *instance;
        present.append(device);
    }
    return present;
}

QList<HidDeviceInfo> HidrawBackend::enumerate() {
    QList<HidDeviceInfo> devices = scan();
    for (HidDeviceInfo& device : devices) {
        const std::optional<ReportLayout> layout = sysfs_.reportLayout(device.path);
        device.inputReportLength = layout ? layout->inputReportLength : FallbackReportLength;
        device.outputReportLength = layout ? layout->outputReportLength : FallbackReportLength;
    }
    remember(devices);
    return devices;
}

std::unique_ptr<HidHandle> HidrawBackend::open(const QString& path, quint32 instance) {
    if (!sysfs_.isHidrawNode(path) || sysfs_.instance(path) != instance)
        return nullptr;
    hid_device* device = nullptr;
    {
        std::lock_guard lock(HidapiUse::mutex());
        device = hid_open_path(QFile::encodeName(path).constData());
    }
    if (!device)
        return nullptr;
    // Checked again once open: the node may have passed to another device in between.
    if (sysfs_.instance(path) != instance) {
        std::lock_guard lock(HidapiUse::mutex());
        hid_close(device);
        return nullptr;
    }
    // Read again rather than remembered from the last scan: a replugged device may reuse the path.
    // Without a readable descriptor the device is taken for the common kind without report IDs,
    // which matches the 65-byte lengths assumed then.
    const std::optional<ReportLayout> layout = sysfs_.reportLayout(path);
    return std::make_unique<HidrawHandle>(device, layout && layout->usesReportIds);
}

void HidrawBackend::startMonitoring() {
    if (monitoring_)
        return;
    monitoring_ = true;
    if (QFile::exists(QString::fromLatin1(UdevControlSocket))) {
        auto* monitor = new UdevMonitor("hidraw", this);
        if (monitor->isValid()) {
            udev_ = monitor;
            connect(udev_, &UdevMonitor::deviceEvent, this, [this] {
                if (!burst_.isActive())
                    burst_.start();
            });
        } else {
            delete monitor;
        }
    }
    if (!lastSeen_)
        remember(scan());
    tick_.start();
}

QList<HidrawBackend::Presence> HidrawBackend::presenceOf(const QList<HidDeviceInfo>& devices) {
    QList<Presence> presence;
    for (const HidDeviceInfo& device : devices)
        presence.append({device.path, device.instance, device.access});
    std::sort(presence.begin(), presence.end(),
              [](const Presence& a, const Presence& b) { return a.path < b.path; });
    return presence;
}

void HidrawBackend::remember(const QList<HidDeviceInfo>& devices) {
    lastSeen_ = presenceOf(devices);
    waitingForAccess_.clear();
    for (const HidDeviceInfo& device : devices) {
        if (!device.access)
            waitingForAccess_.append(device.path);
    }
}

void HidrawBackend::onTick() {
    if (!udev_) {
        // No udev events: compare the device set with the last one seen.
        const QList<HidDeviceInfo> devices = scan();
        const QList<Presence> presence = presenceOf(devices);
        if (presence != lastSeen_) {
            remember(devices);
            emit devicesChanged();
        }
        return;
    }
    // Permissions may be granted a moment after the device appeared, with no further event.
    const qsizetype waiting = waitingForAccess_.size();
    waitingForAccess_.removeIf(
        [](const QString& path) { return checkNodeAccess(path) == NodeAccess::ReadWrite; });
    if (waitingForAccess_.size() != waiting)
        emit devicesChanged();
}

} // namespace kvt
