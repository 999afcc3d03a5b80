// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>
#include <memory>
#include <optional>

namespace kvt {

// One entry of the HID library's device list.
struct HidapiListing {
    QByteArray path; // as the library spells it; handed back unchanged to open the device
    quint16 vendorId = 0;
    quint16 productId = 0;
    QString product; // empty when the device has none
    QString serial;  // empty when the device has none

    bool operator==(const HidapiListing&) const = default;
};

// A device opened through the HID library; closed when destroyed.
class HidapiDevice {
public:
    virtual ~HidapiDevice() = default;

    // hid_read_timeout: the bytes of one input report, 0 when none arrived in time, -1 on failure.
    virtual int readTimeout(quint8* buffer, int capacity, int timeoutMs) = 0;
    // hid_write: the number of bytes written, -1 on failure.
    virtual int write(const quint8* data, int length) = 0;
    // hid_get_product_string and hid_get_serial_number_string of the open device; nothing when the
    // device does not tell.
    virtual std::optional<QString> productString() = 0;
    virtual std::optional<QString> serialNumber() = 0;
};

// The HID library's portable calls (hidapi 0.13: enumeration and opening by path), behind an
// interface so that the backend's rules can be exercised without a device.
class HidapiCalls {
public:
    virtual ~HidapiCalls() = default;

    // hid_enumerate over every vendor and product, in the library's order. Thread-safe.
    virtual QList<HidapiListing> enumerate() = 0;
    // hid_open_path; null when the device cannot be opened for reading and writing. Thread-safe.
    virtual std::unique_ptr<HidapiDevice> openPath(const QByteArray& path) = 0;
};

// The installed HID library. It stays initialised while the returned object, or any device
// opened through it, exists — a handle may outlive the backend on an I/O thread that ends late.
std::shared_ptr<HidapiCalls> systemHidapi();

// How many objects made by systemHidapi() hold the installed library now; for tests.
int systemHidapiUsers();

} // namespace kvt
