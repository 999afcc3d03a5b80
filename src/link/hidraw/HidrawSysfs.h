// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/HidBackend.h"
#include "link/hidraw/ReportDescriptor.h"

#include <QList>
#include <QString>
#include <QStringView>
#include <optional>

namespace kvt {

// The instance number in a kernel HID device name such as "0003:1234:5678.000A": the hexadecimal
// number after the last '.', which the kernel never hands out twice while it runs.
std::optional<quint32> instanceFromHidDeviceName(QStringView name);

// Keeps the first entry for every path, in order (the HID library lists a device once per
// top-level usage).
QList<HidDeviceInfo> uniqueByPath(const QList<HidDeviceInfo>& devices);

enum class NodeAccess { ReadWrite, Denied, Missing };

// Whether the calling user may open a device node for reading and writing, checked without opening
// it (opening some devices has side effects).
NodeAccess checkNodeAccess(const QString& path);

// What the kernel tells about a hidraw node ("/dev/hidrawN") under /sys/class/hidraw. All of it is
// readable without access to the node itself.
class HidrawSysfs {
public:
    explicit HidrawSysfs(QString root = QStringLiteral("/sys/class/hidraw"));

    // Whether the path is a hidraw device node (the HID library must not be asked to open anything
    // else: it fails on other files by corrupting memory).
    bool isHidrawNode(const QString& devicePath) const;

    // The instance number of the HID device behind the node; nothing when it cannot be read.
    std::optional<quint32> instance(const QString& devicePath) const;

    // The report sizes from the device's report descriptor; nothing when it cannot be read or parsed.
    std::optional<ReportLayout> reportLayout(const QString& devicePath) const;

private:
    QString deviceDir(const QString& devicePath) const;

    QString root_;
};

} // namespace kvt
