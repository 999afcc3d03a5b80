// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/HidBackend.h"
#include "sim/DeviceHub.h"

#include <memory>

namespace kvt::sim {

// An open simulated device: reads come from its own input queue, writes go to the device through
// the hub. It keeps the hub alive, so it may outlive the backend (its reads then return -1).
class SimHandle : public HidHandle {
public:
    SimHandle(std::shared_ptr<DeviceHub> hub, DeviceHub::Attachment attachment);
    ~SimHandle() override;

    int read(quint8* buffer, int capacity, int timeoutMs) override;
    bool write(const quint8* data, int length) override;
    void cancel() override;

private:
    std::shared_ptr<DeviceHub> hub_;
    DeviceHub::Attachment attachment_;
};

} // namespace kvt::sim
