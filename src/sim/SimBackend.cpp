// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/SimBackend.h"

#include "sim/DeviceHub.h"
#include "sim/SimController.h"
#include "sim/SimHandle.h"

#include <QElapsedTimer>
#include <QMetaObject>
#include <QTimer>
#include <atomic>

namespace kvt::sim {

namespace {

constexpr int ClockIntervalMs = 20;
constexpr quint16 ControllerVendorId = 0x0483;
constexpr quint16 ControllerProductId = 0x5750;
constexpr int ControllerReportLength = 65;

} // namespace

// The hub plus what only the user-interface side needs: the real-time clock and the pending
// change notification.
struct SimBackend::Impl : DeviceHub {
    QTimer* timer = nullptr;
    QElapsedTimer clock;
    qint64 consumedMs = 0;
    std::atomic<bool> changePending = false;
};

SimBackend::SimBackend(QObject* parent) : HidBackend(parent), d(std::make_shared<Impl>()) {
    d->timer = new QTimer(this);
    d->timer->setInterval(ClockIntervalMs);
    connect(d->timer, &QTimer::timeout, this, &SimBackend::clockTick);
    setManualClock(false);
}

SimBackend::~SimBackend() {
    // The devices vanish with the backend; handles still open see them gone.
    d->unplugAll();
}

QList<HidDeviceInfo> SimBackend::enumerate() {
    return d->enumerate();
}

std::unique_ptr<HidHandle> SimBackend::open(const QString& path, quint32 instance) {
    DeviceHub::Attachment attachment = d->attach(path);
    if (!attachment.queue)
        return nullptr;
    const bool sameDevice = attachment.instance == instance;
    auto handle = std::make_unique<SimHandle>(d, std::move(attachment));
    if (!sameDevice)
        return nullptr; // the handle detaches as it goes
    return handle;
}

namespace {
HidDeviceInfo deviceInfo(const QString& product, quint16 vid, quint16 pid, bool access, int inLen,
                         int outLen) {
    HidDeviceInfo info;
    info.vendorId = vid;
    info.productId = pid;
    info.product = product;
    info.inputReportLength = inLen;
    info.outputReportLength = outLen;
    info.access = access;
    return info;
}
} // namespace

int SimBackend::plugController(const QString& model, float firmware, const QString& deviceText) {
    const int id = d->plug(deviceInfo(model, ControllerVendorId, ControllerProductId, true,
                                      ControllerReportLength, ControllerReportLength),
                           std::make_unique<SimController>(model, firmware, deviceText));
    announceChange();
    return id;
}

int SimBackend::plugDevice(const QString& product, quint16 vid, quint16 pid, bool access, int inLen,
                           int outLen) {
    const int id = d->plug(deviceInfo(product, vid, pid, access, inLen, outLen), nullptr);
    announceChange();
    return id;
}

void SimBackend::unplug(int id) {
    if (d->unplug(id))
        announceChange();
}

void SimBackend::unplugAll() {
    if (!d->pluggedIds().isEmpty()) {
        d->unplugAll();
        announceChange();
    }
}

void SimBackend::replug(int id) {
    if (d->replug(id))
        announceChange();
}

void SimBackend::setAccess(int id, bool access) {
    if (d->setAccess(id, access))
        announceChange();
}

bool SimBackend::isPlugged(int id) const {
    return d->isPlugged(id);
}
QList<int> SimBackend::pluggedIds() const {
    return d->pluggedIds();
}
HidDeviceInfo SimBackend::info(int id) const {
    return d->info(id);
}
SimController* SimBackend::controller(int id) {
    return d->controller(id);
}
void SimBackend::setFaults(int id, const Faults& faults) {
    d->setFaults(id, faults);
}
void SimBackend::inject(int id, const QByteArray& response) {
    d->inject(id, response);
}
QList<SimBackend::Written> SimBackend::written() const {
    return d->written();
}
void SimBackend::clearWritten() {
    d->clearWritten();
}
void SimBackend::setWrittenLogLimit(int limit) {
    d->setWrittenLogLimit(limit);
}
int SimBackend::pendingInput() const {
    return d->pendingInput();
}
int SimBackend::openHandles(int id) const {
    return d->openHandles(id);
}

void SimBackend::setManualClock(bool manual) {
    if (manual) {
        d->timer->stop();
        return;
    }
    d->clock.start();
    d->consumedMs = 0;
    d->timer->start();
}

void SimBackend::advance(int ms) {
    if (ms > 0)
        d->advance(ms);
}

void SimBackend::setLatency(std::chrono::microseconds latency) {
    d->setLatency(latency);
}

void SimBackend::clockTick() {
    // Real time since the last tick; the clock counts from its start, so no fraction is lost.
    const qint64 now = d->clock.elapsed();
    const auto ms = static_cast<int>(now - d->consumedMs);
    d->consumedMs = now;
    advance(ms);
}

void SimBackend::announceChange() {
    if (d->changePending.exchange(true))
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            d->changePending = false;
            emit devicesChanged();
        },
        Qt::QueuedConnection);
}

} // namespace kvt::sim
