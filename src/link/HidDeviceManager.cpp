// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/HidDeviceManager.h"

#include "link/HidDevice.h"

#include <QElapsedTimer>
#include <QHash>
#include <QMetaObject>

namespace kvt {

HidDeviceManager::HidDeviceManager(HidBackend* backend, QObject* parent, Start start)
    : QObject(parent), backend_(backend), ioPending_(std::make_shared<std::atomic<int>>(0)),
      mailbox_(std::make_shared<Mailbox>()) {
    mailbox_->target_ = this;
    if (start == Start::Now)
        this->start();
}

void HidDeviceManager::start() {
    if (started_)
        return;
    started_ = true;
    for (const HidDeviceInfo& info : backend_->enumerate())
        devices_.append(makeDevice(info));
    connect(backend_, &HidBackend::devicesChanged, this, &HidDeviceManager::requestRescan);
    backend_->startMonitoring();
    // The first scan runs as soon as the event loop does, whatever has changed by then.
    QMetaObject::invokeMethod(
        this, [this] { rescan(true); }, Qt::QueuedConnection);
}

HidDeviceManager::~HidDeviceManager() {
    {
        // A thread that outlives the wait below can no longer post to this controller.
        std::lock_guard lock(mailbox_->mutex_);
        mailbox_->target_ = nullptr;
    }
    shutdownIo(2000);
    for (HidDevice* device : std::as_const(devices_))
        delete device;
    devices_.clear();
}

bool HidDeviceManager::Mailbox::post(std::function<void()> work) {
    std::lock_guard lock(mutex_);
    return target_ && QMetaObject::invokeMethod(target_, std::move(work), Qt::QueuedConnection);
}

HidDevice* HidDeviceManager::makeDevice(const HidDeviceInfo& info) {
    return new HidDevice(this, info);
}

bool HidDeviceManager::shutdownIo(int ms) {
    for (HidDevice* device : devices_)
        device->stopIo();
    QElapsedTimer clock;
    clock.start();
    bool allEnded = true;
    for (auto& reader : stoppingReaders_)
        allEnded = reader->waitFinished(int(qMax<qint64>(0, ms - clock.elapsed()))) && allEnded;
    for (auto& writer : stoppingWriters_)
        allEnded = writer->waitFinished(int(qMax<qint64>(0, ms - clock.elapsed()))) && allEnded;
    reapFinished();
    return allEnded;
}

void HidDeviceManager::retire(std::unique_ptr<HidReader> reader, std::unique_ptr<HidWriter> writer) {
    if (reader)
        stoppingReaders_.push_back(std::move(reader));
    if (writer)
        stoppingWriters_.push_back(std::move(writer));
    reapFinished();
}

void HidDeviceManager::reapFinished() {
    std::erase_if(stoppingReaders_, [](const auto& r) { return r->finished(); });
    std::erase_if(stoppingWriters_, [](const auto& w) { return w->finished(); });
}

void HidDeviceManager::enumerate() {
    for (int i = 0; i < devices_.size(); ++i) {
        if (!devices_[i]->isPluggedIn())
            continue;
        if (onEnumerate_ && !onEnumerate_(devices_[i], i))
            break;
    }
}

HidDevice* HidDeviceManager::checkOut(int index) {
    if (index < 0 || index >= devices_.size())
        return nullptr;
    HidDevice* device = devices_[index];
    if (device->isCheckedOut() || !device->isPluggedIn())
        return nullptr;
    device->checkedOut_ = true;
    return device;
}

void HidDeviceManager::checkIn(HidDevice* device) {
    const int index = int(devices_.indexOf(device));
    if (index < 0 || !device->isCheckedOut())
        return;
    device->setDataHandler({});
    if (device->isPluggedIn())
        devices_[index] = makeDevice(device->info());
    else
        devices_.removeAt(index);
    delete device;
}

void HidDeviceManager::requestRescan() {
    if (rescanQueued_)
        return;
    rescanQueued_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            rescanQueued_ = false;
            rescan(false);
        },
        Qt::QueuedConnection);
}

void HidDeviceManager::rescan(bool raiseAlways) {
    reapFinished();
    if (inDeviceChange_) {
        requestRescan(); // never re-entered: run again once the current change is handled
        return;
    }
    const QList<HidDeviceInfo> present = backend_->enumerate();
    QHash<quint32, const HidDeviceInfo*> byInstance;
    for (const HidDeviceInfo& info : present)
        byInstance.insert(info.instance, &info);

    bool changed = false;
    QHash<quint32, bool> known;
    for (int i = 0; i < devices_.size();) {
        HidDevice* device = devices_[i];
        const HidDeviceInfo* now = byInstance.value(device->deviceInstance());
        if (!now) {
            changed = true;
            device->pluggedIn_ = false;
            device->stopIo();
            if (!device->isCheckedOut()) {
                devices_.removeAt(i);
                delete device;
                continue;
            }
        } else {
            known.insert(device->deviceInstance(), true);
            // Access can arrive (or go) a moment after the device: that counts as a change too,
            // so a controller listed without access is connected by the next scan.
            if (device->info_.access != now->access) {
                changed = true;
                device->info_.access = now->access;
                if (!now->access)
                    device->stopIo();
            }
        }
        ++i;
    }
    for (const HidDeviceInfo& info : present) {
        if (!known.contains(info.instance)) {
            changed = true;
            devices_.append(makeDevice(info));
        }
    }
    if (changed || raiseAlways) {
        inDeviceChange_ = true;
        emit devicesChanged();
        inDeviceChange_ = false;
    }
}

} // namespace kvt
