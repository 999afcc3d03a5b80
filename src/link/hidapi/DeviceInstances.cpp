// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/hidapi/DeviceInstances.h"

#include <QFile>

namespace kvt {

QList<DeviceInstances::Numbered> DeviceInstances::number(const QList<HidapiListing>& listing) {
    std::lock_guard lock(mutex_);
    QList<Numbered> numbered;
    QHash<QString, Entry> kept;
    for (const HidapiListing& device : listing) {
        const QString path = pathText(device);
        if (kept.contains(path))
            continue;
        const auto known = byPath_.constFind(path);
        Entry entry;
        if (known != byPath_.cend() && !known->lost && known->listing == device)
            entry = *known;
        else
            entry = {device, next_++, false};
        kept.insert(path, entry);
        numbered.append({device, entry.instance});
    }
    byPath_ = std::move(kept);
    return numbered;
}

QString DeviceInstances::pathText(const HidapiListing& device) {
    return QFile::decodeName(device.path);
}

std::optional<HidapiListing> DeviceInstances::holder(const QString& path, quint32 instance) const {
    std::lock_guard lock(mutex_);
    const auto known = byPath_.constFind(path);
    if (known == byPath_.cend() || known->lost || known->instance != instance)
        return std::nullopt;
    return known->listing;
}

void DeviceInstances::markLost(const QString& path, quint32 instance) {
    std::lock_guard lock(mutex_);
    const auto known = byPath_.find(path);
    if (known != byPath_.end() && known->instance == instance)
        known->lost = true;
}

} // namespace kvt
