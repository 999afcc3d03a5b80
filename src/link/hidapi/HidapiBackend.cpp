// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/hidapi/HidapiBackend.h"

#include "link/Model.h"
#include "link/hidapi/HidapiHandle.h"

namespace kvt {

namespace {

// Whether the open device tells the same product string and serial number it was listed with. A
// device that cannot tell is taken at its word; one that tells something else has taken over
// the path of the device that was listed.
bool sameDevice(HidapiDevice& device, const HidapiListing& listed) {
    const std::optional<QString> product = device.productString();
    if (product && !product->isEmpty() && !listed.product.isEmpty() && *product != listed.product)
        return false;
    const std::optional<QString> serial = device.serialNumber();
    return !(serial && !serial->isEmpty() && !listed.serial.isEmpty() && *serial != listed.serial);
}

} // namespace

HidapiBackend::HidapiBackend(QObject* parent) : HidapiBackend(systemHidapi(), parent) {}

HidapiBackend::HidapiBackend(std::shared_ptr<HidapiCalls> calls, QObject* parent)
    : HidBackend(parent), calls_(std::move(calls)), instances_(std::make_shared<DeviceInstances>()) {
    tick_.setInterval(RescanMs);
    connect(&tick_, &QTimer::timeout, this, &HidapiBackend::rescan);
}

HidapiBackend::~HidapiBackend() = default;

bool HidapiBackend::canOpen(const HidapiListing& device) {
    return calls_->openPath(device.path) != nullptr; // closed again at once
}

QList<HidDeviceInfo> HidapiBackend::scan() {
    QList<HidDeviceInfo> present;
    QSet<quint32> openable;
    for (const DeviceInstances::Numbered& entry : instances_->number(calls_->enumerate())) {
        HidDeviceInfo device;
        device.path = DeviceInstances::pathText(entry.listing);
        device.instance = entry.instance;
        device.vendorId = entry.listing.vendorId;
        device.productId = entry.listing.productId;
        device.product = entry.listing.product;
        device.serial = entry.listing.serial;
        device.inputReportLength = ReportLength;
        device.outputReportLength = ReportLength;
        // Only a controller is opened here, once it can be: opening other devices may have side
        // effects, and the program never uses them.
        if (modelFromProduct(device.product)) {
            device.access = openable_.contains(entry.instance) || canOpen(entry.listing);
            if (device.access)
                openable.insert(entry.instance);
        }
        present.append(device);
    }
    openable_ = std::move(openable); // forgets the devices that are gone
    return present;
}

QList<HidDeviceInfo> HidapiBackend::enumerate() {
    const QList<HidDeviceInfo> devices = scan();
    lastSeen_.remember(devices);
    return devices;
}

std::unique_ptr<HidHandle> HidapiBackend::open(const QString& path, quint32 instance) {
    const std::optional<HidapiListing> listed = instances_->holder(path, instance);
    if (!listed)
        return nullptr;
    std::unique_ptr<HidapiDevice> device = calls_->openPath(listed->path);
    if (!device)
        return nullptr;
    if (!sameDevice(*device, *listed)) {
        instances_->markLost(path, instance);
        return nullptr;
    }
    // Checked again once open: a listing in between may have found the path changed.
    if (!instances_->holder(path, instance))
        return nullptr;
    std::weak_ptr<DeviceInstances> instances = instances_;
    return std::make_unique<HidapiHandle>(std::move(device), ReportLength, [instances, path, instance] {
        if (const std::shared_ptr<DeviceInstances> table = instances.lock())
            table->markLost(path, instance);
    });
}

void HidapiBackend::startMonitoring() {
    if (monitoring_)
        return;
    monitoring_ = true;
    if (!lastSeen_.seen())
        lastSeen_.remember(scan());
    tick_.start();
}

void HidapiBackend::rescan() {
    if (lastSeen_.remember(scan()))
        emit devicesChanged();
}

} // namespace kvt
