// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/DeviceHub.h"

#include "link/OpCode.h"
#include "sim/SimController.h"

#include <algorithm>

namespace kvt::sim {

namespace {

constexpr char ReportId = 1;
constexpr char UnknownCode = static_cast<char>(200); // not a response code of the protocol

} // namespace

DeviceHub::DeviceHub() = default;
DeviceHub::~DeviceHub() = default;

int DeviceHub::plug(HidDeviceInfo info, std::unique_ptr<SimController> controller) {
    const std::lock_guard lock(mutex_);
    const int id = nextId_++;
    Device& device = devices_[id];
    device.info = std::move(info);
    device.controller = std::move(controller);
    if (device.controller) {
        device.controller->setLock(&mutex_);
        device.info.serial = QStringLiteral("SIM%1").arg(id);
    }
    appear(id, device);
    return id;
}

void DeviceHub::appear(int id, Device& device) {
    // The lowest node number no plugged device uses, as the kernel hands them out.
    int number = 0;
    while (std::any_of(devices_.begin(), devices_.end(),
                       [number](const auto& entry) { return entry.second.hidrawNumber == number; }))
        ++number;
    device.hidrawNumber = number;
    device.info.path = QStringLiteral("sim:/dev/hidraw%1").arg(number);
    device.info.instance = nextInstance_++;
    device.plugged = true;
    order_.append(id);
}

void DeviceHub::vanish(int id, Device& device) {
    device.plugged = false;
    device.hidrawNumber = -1;
    order_.removeAll(id);
    for (const Attachment& a : attachments_) {
        if (a.device == id)
            a.queue->markGone();
    }
}

bool DeviceHub::unplug(int id) {
    const std::lock_guard lock(mutex_);
    const auto it = devices_.find(id);
    if (it == devices_.end() || !it->second.plugged)
        return false;
    vanish(id, it->second);
    return true;
}

bool DeviceHub::replug(int id) {
    const std::lock_guard lock(mutex_);
    const auto it = devices_.find(id);
    if (it == devices_.end())
        return false;
    if (it->second.plugged)
        vanish(id, it->second);
    if (it->second.controller)
        it->second.controller->powerCycle();
    appear(id, it->second);
    return true;
}

bool DeviceHub::setAccess(int id, bool access) {
    const std::lock_guard lock(mutex_);
    const auto it = devices_.find(id);
    if (it == devices_.end() || it->second.info.access == access)
        return false;
    it->second.info.access = access;
    return it->second.plugged;
}

void DeviceHub::unplugAll() {
    const std::lock_guard lock(mutex_);
    for (const int id : QList<int>(order_))
        vanish(id, devices_.at(id));
}

QList<HidDeviceInfo> DeviceHub::enumerate() const {
    const std::lock_guard lock(mutex_);
    QList<HidDeviceInfo> list;
    for (const int id : order_)
        list.append(devices_.at(id).info);
    return list;
}

bool DeviceHub::isPlugged(int id) const {
    const std::lock_guard lock(mutex_);
    const auto it = devices_.find(id);
    return it != devices_.end() && it->second.plugged;
}

QList<int> DeviceHub::pluggedIds() const {
    const std::lock_guard lock(mutex_);
    return order_;
}

HidDeviceInfo DeviceHub::info(int id) const {
    const std::lock_guard lock(mutex_);
    const auto it = devices_.find(id);
    return it != devices_.end() ? it->second.info : HidDeviceInfo{};
}

SimController* DeviceHub::controller(int id) {
    const std::lock_guard lock(mutex_);
    const auto it = devices_.find(id);
    return it != devices_.end() ? it->second.controller.get() : nullptr;
}

void DeviceHub::setFaults(int id, const Faults& faults) {
    const std::lock_guard lock(mutex_);
    const auto it = devices_.find(id);
    if (it != devices_.end())
        it->second.faults = faults;
}

void DeviceHub::inject(int id, const QByteArray& response) {
    const std::lock_guard lock(mutex_);
    const auto it = devices_.find(id);
    if (it == devices_.end() || !it->second.plugged)
        return;
    const QByteArray report =
        (QByteArray(1, ReportId) + response).leftJustified(it->second.info.inputReportLength, '\0', true);
    push(id, report);
}

void DeviceHub::advance(int ms) {
    const std::lock_guard lock(mutex_);
    for (const int id : QList<int>(order_)) {
        Device& device = devices_.at(id);
        if (!device.controller)
            continue;
        device.controller->advance(ms);
        deliver(id, device, device.controller->takeUnsolicited());
    }
}

void DeviceHub::setLatency(std::chrono::microseconds latency) {
    const std::lock_guard lock(mutex_);
    latencyUs_ = latency.count();
    for (const Attachment& a : attachments_)
        a.queue->setLatency(latency);
}

int DeviceHub::pendingInput() const {
    const std::lock_guard lock(mutex_);
    int count = 0;
    for (const Attachment& a : attachments_)
        count += a.queue->pending();
    return count;
}

int DeviceHub::openHandles(int id) const {
    const std::lock_guard lock(mutex_);
    return int(std::count_if(attachments_.begin(), attachments_.end(),
                             [id](const Attachment& a) { return id < 0 || a.device == id; }));
}

QList<SimBackend::Written> DeviceHub::written() const {
    const std::lock_guard lock(mutex_);
    return log_;
}

void DeviceHub::clearWritten() {
    const std::lock_guard lock(mutex_);
    log_.clear();
}

void DeviceHub::setWrittenLogLimit(int limit) {
    const std::lock_guard lock(mutex_);
    logLimit_ = std::max(limit, 0);
    while (logLimit_ > 0 && log_.size() > logLimit_)
        log_.removeFirst();
}

DeviceHub::Attachment DeviceHub::attach(const QString& path) {
    const std::lock_guard lock(mutex_);
    for (const int id : order_) {
        const Device& device = devices_.at(id);
        if (device.info.path != path || !device.plugged)
            continue; // an unplugged device's node is gone; a new device may hold the path
        if (!device.info.access)
            return {};
        auto queue = std::make_shared<InputQueue>();
        queue->setLatency(latency());
        attachments_.push_back({id, device.info.instance, std::move(queue)});
        return attachments_.back();
    }
    return {};
}

void DeviceHub::detach(const InputQueue* queue) {
    const std::lock_guard lock(mutex_);
    std::erase_if(attachments_, [queue](const Attachment& a) { return a.queue.get() == queue; });
}

bool DeviceHub::write(int id, quint32 instance, const quint8* data, int length) {
    const std::lock_guard lock(mutex_);
    Device* device = live(id, instance);
    const QByteArray report =
        data && length > 0 ? QByteArray(reinterpret_cast<const char*>(data), length) : QByteArray();
    const bool ok = device && !device->faults.failingWrites && !report.isEmpty() &&
                    length <= device->info.outputReportLength;
    log_.append({id, report, ok});
    if (logLimit_ > 0 && log_.size() > logLimit_)
        log_.removeFirst(); // the oldest goes: an application simulating for hours keeps polling
    if (!ok)
        return false;
    // The controller handles the command (the bytes after the report ID) before write() returns.
    const QList<QByteArray> answers =
        device->controller ? device->controller->handle(report.mid(1)) : QList<QByteArray>();
    if (device->faults.vanishAfterCommands > 0 && --device->faults.vanishAfterCommands == 0) {
        vanish(id, *device); // before it could answer; its handles fail, the next scan misses it
        return true;
    }
    deliver(id, *device, answers);
    return true;
}

DeviceHub::Device* DeviceHub::live(int id, quint32 instance) {
    const auto it = devices_.find(id);
    if (it == devices_.end() || !it->second.plugged || it->second.info.instance != instance)
        return nullptr;
    return &it->second;
}

QByteArray DeviceHub::frame(const Device& device, const QByteArray& response) const {
    const QByteArray report = QByteArray(1, ReportId) + response;
    if (device.faults.shortReports > 0)
        return report.left(device.faults.shortReports);
    return report.leftJustified(device.info.inputReportLength, '\0', true);
}

void DeviceHub::push(int id, const QByteArray& report) {
    const quint32 instance = devices_.at(id).info.instance;
    for (const Attachment& a : attachments_) {
        if (a.device == id && a.instance == instance)
            a.queue->push(report);
    }
}

void DeviceHub::deliver(int id, const Device& device, const QList<QByteArray>& responses) {
    const Faults& faults = device.faults;
    if (faults.silent)
        return;
    for (const QByteArray& response : responses) {
        push(id, frame(device, response));
        if (faults.unknownCodes)
            push(id, frame(device, QByteArray(1, UnknownCode)));
        if (faults.garbage) {
            // Random bytes, except that the code position never holds a real response code, so
            // the junk cannot pass for an answer.
            std::uniform_int_distribution<int> length(1, std::max(1, device.info.inputReportLength));
            std::uniform_int_distribution<int> byte(0, 255);
            QByteArray junk(length(rng_), '\0');
            for (char& c : junk)
                c = static_cast<char>(byte(rng_));
            while (junk.size() > 1 && op::isResponseCode(static_cast<quint8>(junk.at(1))))
                junk[1] = static_cast<char>(byte(rng_));
            push(id, junk);
        }
    }
}

} // namespace kvt::sim
