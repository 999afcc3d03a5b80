// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/SimHandle.h"

#include <thread>
#include <utility>

namespace kvt::sim {

SimHandle::SimHandle(std::shared_ptr<DeviceHub> hub, DeviceHub::Attachment attachment)
    : hub_(std::move(hub)), attachment_(std::move(attachment)) {}

SimHandle::~SimHandle() {
    hub_->detach(attachment_.queue.get());
}

int SimHandle::read(quint8* buffer, int capacity, int timeoutMs) {
    return attachment_.queue->read(buffer, capacity, timeoutMs);
}

bool SimHandle::write(const quint8* data, int length) {
    // A write returns once the report has crossed the bus, as a hidraw write does.
    if (const std::chrono::microseconds latency = hub_->latency(); latency.count() > 0)
        std::this_thread::sleep_for(latency);
    return hub_->write(attachment_.device, attachment_.instance, data, length);
}

void SimHandle::cancel() {
    attachment_.queue->cancel();
}

} // namespace kvt::sim
