// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/hidapi/HidapiCalls.h"

#include <QHash>
#include <QList>
#include <mutex>
#include <optional>

namespace kvt {

// Instance numbers for the devices the HID library lists, which it gives no identity of its own:
// a device keeps its number while every listing shows it under the same path with the same
// vendor, product, product string and serial number. A path missing from a listing, listed with
// other details, or whose open device failed, gets a new number when it is listed next, so a
// command meant for one device never reaches another that took over its path. Numbers start at 1
// and are never handed out twice. Thread-safe.
class DeviceInstances {
public:
    struct Numbered {
        HidapiListing listing;
        quint32 instance = 0;
    };

    // Numbers a fresh listing and forgets the paths it lacks. Keeps the first entry of a path that
    // is listed more than once (the library lists a device once per top-level usage), in order.
    QList<Numbered> number(const QList<HidapiListing>& listing);

    // The path as the program shows it (the library's bytes decoded like a file name).
    static QString pathText(const HidapiListing& device);

    // What the device `instance` was listed as, while `path` still belongs to it.
    std::optional<HidapiListing> holder(const QString& path, quint32 instance) const;

    // The device `instance` at `path` failed (it was unplugged, perhaps replugged at once): the
    // path is numbered afresh at the next listing.
    void markLost(const QString& path, quint32 instance);

private:
    struct Entry {
        HidapiListing listing;
        quint32 instance = 0;
        bool lost = false;
    };

    mutable std::mutex mutex_;
    QHash<QString, Entry> byPath_;
    quint32 next_ = 1;
};

} // namespace kvt
