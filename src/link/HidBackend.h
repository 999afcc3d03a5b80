// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <memory>

namespace kvt {

// One HID device as the operating system lists it.
struct HidDeviceInfo {
    QString path;         // opens the device; a quick replug may reuse it
    quint32 instance = 0; // identity between scans; never reused for another device
    quint16 vendorId = 0;
    quint16 productId = 0;
    QString product;             // USB product string, empty when the device has none
    QString serial;              // USB serial number, empty when the device has none
    int inputReportLength = 65;  // report-ID byte included
    int outputReportLength = 65; // report-ID byte included
    bool access = false;         // can be opened for reading and writing

    bool operator==(const HidDeviceInfo&) const = default;
};

// An open device. Each handle is used by one thread only (a reader or a writer), which also
// destroys it; only cancel() may be called from another thread.
class HidHandle {
public:
    virtual ~HidHandle() = default;

    // Reads one input report into `buffer`, report ID first (0 when the device declares no report
    // IDs). Returns the number of bytes read, 0 when nothing arrived within `timeoutMs`, or -1 when
    // the device failed or is gone.
    virtual int read(quint8* buffer, int capacity, int timeoutMs) = 0;

    // Writes one output report, report ID first. Returns whether it was written.
    virtual bool write(const quint8* data, int length) = 0;

    // Thread-safe: makes a blocked read, and every later one, return 0 at once, and drops what the
    // handle has buffered. A backend that cannot interrupt a read leaves it to its time-out.
    virtual void cancel() {}
};

// The platform's HID interface: enumeration, opening and device-change notification.
class HidBackend : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // The HID devices present now, in the system's order. Called on the user-interface thread.
    virtual QList<HidDeviceInfo> enumerate() = 0;

    // Opens the device at `path` for reading and writing, but only while that path still belongs
    // to the device `instance`: a node freed by an unplugged device may already serve another,
    // and a command meant for one controller must never reach a different one. Null when the
    // device cannot be opened or is not that instance. Thread-safe: the reader and writer threads
    // open their own handles.
    virtual std::unique_ptr<HidHandle> open(const QString& path, quint32 instance) = 0;

    // Starts watching for device changes; devicesChanged() is then emitted on the
    // user-interface thread whenever the set of HID devices may have changed.
    virtual void startMonitoring() {}

signals:
    void devicesChanged();
};

} // namespace kvt
