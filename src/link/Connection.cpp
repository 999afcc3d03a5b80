// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/Connection.h"

#include "link/HidDevice.h"
#include "link/HidDeviceManager.h"
#include "link/OpCode.h"
#include "link/Transport.h"

namespace kvt {

Connection::Connection(HidDeviceManager& manager, Transport& transport, QObject* parent)
    : QObject(parent), manager_(manager), transport_(transport) {
    manager_.setOnEnumerate([this](HidDevice* device, int index) { return listDevice(device, index); });
    connect(&manager_, &HidDeviceManager::devicesChanged, this, &Connection::rescan);
}

bool Connection::listDevice(HidDevice* device, int index) {
    entries_.append(device->productName().isEmpty()
                        ? QString::asprintf("Device VID=%04X PID=%04X", unsigned(device->vendorId()),
                                            unsigned(device->productId()))
                        : device->productName());
    listed_.append(kept_.contains(device) ? device : manager_.checkOut(index));
    return true;
}

void Connection::rescan() {
    // A device still plugged in stays held, with its open handle: releasing it would reopen it
    // and lose a report on its way (a program request in the middle of a send). Only vanished
    // devices are released.
    kept_.clear();
    for (HidDevice* device : std::as_const(listed_)) {
        if (!device)
            continue;
        if (device->isPluggedIn())
            kept_.insert(device);
        else
            manager_.checkIn(device);
    }
    listed_.clear();
    entries_.clear();
    transport_.setActiveDevice(nullptr);

    manager_.enumerate();
    emit devicesListed(entries_);

    HidDevice* active = nullptr;
    for (int i = 0; i < listed_.size(); ++i) {
        HidDevice* device = listed_[i];
        const std::optional<Model> model = modelFromProduct(entries_[i]);
        if (!device || !model)
            continue;
        // Only the newest active device keeps a data handler, so the screen never mixes the
        // reports of one controller with commands sent to another.
        if (active && active != device)
            active->setDataHandler({});
        active = device;
        if (!device->hasReadWriteAccess()) {
            device->setDataHandler({});
            transport_.setActiveDevice(nullptr);
            continue;
        }
        Transport* transport = &transport_;
        device->setDataHandler(
            [transport](HidDevice*, quint8, const QByteArray& data) { transport->receive(data); });
        transport_.setActiveDevice(device);
        emit controllerConnected(*model);
        greet();
        emit controllerGreeted(*model);
    }
    // A held device no longer listed (there is none while the manager keeps every present one)
    // is released.
    for (HidDevice* device : std::as_const(kept_))
        if (!listed_.contains(device))
            manager_.checkIn(device);
    kept_.clear();
    if (!transport_.activeDevice())
        emit disconnected();
}

void Connection::greet() {
    transport_.sendCode(op::Identity);
    transport_.sendCode(op::Configuration);
}

} // namespace kvt
