// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/DeviceSet.h"

#include <algorithm>

namespace kvt {

bool DeviceSet::remember(const QList<HidDeviceInfo>& devices) {
    QList<Presence> presence;
    presence.reserve(devices.size());
    for (const HidDeviceInfo& device : devices)
        presence.append({device.path, device.instance, device.access});
    std::sort(presence.begin(), presence.end(),
              [](const Presence& a, const Presence& b) { return a.path < b.path; });
    if (presence == last_)
        return false;
    last_ = std::move(presence);
    return true;
}

} // namespace kvt
