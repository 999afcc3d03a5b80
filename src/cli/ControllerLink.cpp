// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ControllerLink.h"

#include "link/HidDevice.h"
#include "link/HidDeviceManager.h"
#include "link/Transport.h"

namespace kvt::cli {

ControllerLink::ControllerLink(HidDeviceManager& manager, HidDevice* device, int timeoutMs, QObject* parent)
    : QObject(parent), manager_(manager), device_(device), timeoutMs_(timeoutMs) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, [this] { lose(false); });
    // A vanished device is seen by the scan its failed reads ask for.
    connect(&manager_, &HidDeviceManager::devicesChanged, this, [this] {
        if (waiting() && !device_->isPluggedIn())
            lose(true);
    });
    device_->setDataHandler([this](HidDevice*, quint8, const QByteArray& data) { receive(data); });
}

ControllerLink::~ControllerLink() {
    device_->setDataHandler({});
}

void ControllerLink::send(const QByteArray& command) {
    device_->writeReport(frameOutputReport(command, device_->outputReportLength()));
}

void ControllerLink::await(const QString& step, Taker take, Then then, int timeoutMs) {
    step_ = step;
    take_ = std::move(take);
    then_ = std::move(then);
    currentTimeoutMs_ = timeoutMs > 0 ? timeoutMs : timeoutMs_;
    timer_.start(currentTimeoutMs_);
    if (!device_->isPluggedIn()) {
        // Reported from the event loop, never from inside the caller.
        QTimer::singleShot(0, this, [this] {
            if (waiting())
                lose(true);
        });
    }
}

void ControllerLink::request(const QByteArray& command, quint8 answer, const QString& step, Then then) {
    send(command);
    await(
        step, [answer](const Response& r) { return r.code() == answer ? Take::Done : Take::Ignore; },
        std::move(then));
}

void ControllerLink::cancel() {
    timer_.stop();
    take_ = {};
    then_ = {};
}

void ControllerLink::receive(const QByteArray& data) {
    if (!take_)
        return;
    const Response response{
        data.size() < Dispatcher::MinimumLength ? data.leftJustified(Dispatcher::MinimumLength, '\0') : data};
    switch (take_(response)) {
    case Take::Ignore:
        return;
    case Take::Progress:
        if (take_) // the taker may have ended the wait itself
            timer_.start(currentTimeoutMs_);
        return;
    case Take::Done:
        break;
    }
    // The wait ends before the continuation runs, so the continuation may start the next one.
    Then then = std::move(then_);
    cancel();
    if (then)
        then(response);
}

void ControllerLink::lose(bool vanished) {
    const Lost lost{vanished, step_, currentTimeoutMs_};
    cancel();
    if (onLost_)
        onLost_(lost);
}

} // namespace kvt::cli
