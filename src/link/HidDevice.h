// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/HidBackend.h"
#include "link/HidIoThreads.h"

#include <QByteArray>
#include <QObject>
#include <functional>
#include <memory>

namespace kvt {

class HidDeviceManager;

// One present HID device as the device layer holds it. Created, checked out and released by
// HidDeviceManager; lives on the user-interface thread.
class HidDevice : public QObject {
    Q_OBJECT
public:
    // Called on the user-interface thread for every input report: the report ID and the bytes
    // after it, zero-filled to at least 64 bytes (and the device's input report length).
    using DataHandler = std::function<void(HidDevice* device, quint8 reportId, const QByteArray& data)>;

    const HidDeviceInfo& info() const { return info_; }
    const QString& devicePath() const { return info_.path; }
    quint32 deviceInstance() const { return info_.instance; }
    quint16 vendorId() const { return info_.vendorId; }
    quint16 productId() const { return info_.productId; }
    const QString& productName() const { return info_.product; }
    int inputReportLength() const { return info_.inputReportLength; }
    int outputReportLength() const { return info_.outputReportLength; }
    bool hasReadWriteAccess() const { return info_.access; }
    bool isPluggedIn() const { return pluggedIn_; }
    bool isCheckedOut() const { return checkedOut_; }

    // Setting a handler starts the reader when the device is checked out, plugged in and
    // accessible (a running reader stays; one that ended, having found no device, is replaced
    // together with the writer); clearing it
    // stops the reader, and reports still on their way are dropped.
    // Releasing the device stops its writer too, dropping what it has not yet written.
    void setDataHandler(DataHandler handler);

    // Queues one output report, written at once by the device's writer. The result of the write
    // is not reported. Returns false when the device cannot be written (vanished, no access).
    bool writeReport(const QByteArray& report);

    // Increases whenever the reader starts or stops; a report read under an older generation is
    // never handled.
    quint64 generation() const { return generation_; }
    // Reports read and not yet handled on the user-interface thread.
    int backlog() const { return backlog_->pending(); }

private:
    friend class HidDeviceManager;
    HidDevice(HidDeviceManager* owner, HidDeviceInfo info);
    ~HidDevice() override;

    void startReader();
    void stopReader();
    void stopIo(); // reader and writer; queued writes are dropped
    void deliver(quint64 generation, const QByteArray& report);

    HidDeviceManager* owner_;
    HidDeviceInfo info_;
    bool pluggedIn_ = true;
    bool checkedOut_ = false;
    DataHandler handler_;
    quint64 generation_ = 0;
    std::unique_ptr<HidReader> reader_;
    std::shared_ptr<ReadyGate> readerReady_;
    std::shared_ptr<ReportBacklog> backlog_ = std::make_shared<ReportBacklog>();
    std::unique_ptr<HidWriter> writer_;
};

} // namespace kvt
