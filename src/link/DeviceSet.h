// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/HidBackend.h"

#include <QList>
#include <optional>

namespace kvt {

// The set of HID devices a backend listed last, as far as it decides whether to tell the device
// layer that devices changed: the path, instance and access of every device, in path order (the
// system's listing order is not stable).
class DeviceSet {
public:
    // Whether any listing was remembered yet.
    bool seen() const { return last_.has_value(); }

    // Remembers `devices` as the last listing. True when it differs from the one remembered before,
    // or when there was none.
    bool remember(const QList<HidDeviceInfo>& devices);

private:
    struct Presence {
        QString path;
        quint32 instance;
        bool access;
        bool operator==(const Presence&) const = default;
    };
    std::optional<QList<Presence>> last_;
};

} // namespace kvt
