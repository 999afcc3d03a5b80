// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/hidraw/HidrawBackend.h"

#include "link/hidraw/HidrawHandle.h"
#include "link/hidraw/UdevMonitor.h"

#include <QFile>

namespace kvt {

namespace {

constexpr int BurstMs = 75;
constexpr int TickMs = 1000;
constexpr int FallbackReportLength = 65;

// Present while udev runs; a udev monitor opened without it is accepted but never delivers.
const char* const UdevControlSocket = "/run/udev/control";

} // namespace

HidrawBackend::HidrawBackend(QObject* parent) : HidBackend(parent), hidapi_(systemHidapi()) {
    burst_.setSingleShot(true);
    burst_.setInterval(BurstMs);
    connect(&burst_, &QTimer::timeout, this, &HidBackend::devicesChanged);
    tick_.setInterval(TickMs);
    connect(&tick_, &QTimer::timeout, this, &HidrawBackend::onTick);
}

HidrawBackend::~HidrawBackend() = default;

QList<HidDeviceInfo> HidrawBackend::scan() const {
    QList<HidDeviceInfo> listed;
    for (const HidapiListing& entry : hidapi_->enumerate()) {
        HidDeviceInfo device;
        device.path = QFile::decodeName(entry.path);
        device.vendorId = entry.vendorId;
        device.productId = entry.productId;
        device.product = entry.product;
        device.serial = entry.serial;
        listed.append(device);
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
    std::unique_ptr<HidapiDevice> device = hidapi_->openPath(QFile::encodeName(path));
    // Checked again once open: the node may have passed to another device in between.
    if (!device || sysfs_.instance(path) != instance)
        return nullptr;
    // Read again rather than remembered from the last scan: a replugged device may reuse the path.
    // Without a readable descriptor the device is taken for the common kind without report IDs,
    // which matches the 65-byte lengths assumed then.
    const std::optional<ReportLayout> layout = sysfs_.reportLayout(path);
    return std::make_unique<HidrawHandle>(std::move(device), layout && layout->usesReportIds);
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
    if (!lastSeen_.seen())
        remember(scan());
    tick_.start();
}

bool HidrawBackend::remember(const QList<HidDeviceInfo>& devices) {
    waitingForAccess_.clear();
    for (const HidDeviceInfo& device : devices) {
        if (!device.access)
            waitingForAccess_.append(device.path);
    }
    return lastSeen_.remember(devices);
}

void HidrawBackend::onTick() {
    if (!udev_) {
        // No udev events: compare the device set with the last one seen.
        if (remember(scan()))
            emit devicesChanged();
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
