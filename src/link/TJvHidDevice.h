#pragma once

#include "link/HidBackend.h"
#include "link/TJvHidDeviceReadThread.h"

#include <QByteArray>
#include <QObject>
#include <functional>
#include <memory>

namespace kvt {

class TJvHidDeviceController;

// One present HID device as the device layer holds it. Created, checked out and released by
// TJvHidDeviceController; lives on the user-interface thread.
class TJvHidDevice : public QObject {
    Q_OBJECT
public:
    // Called on the user-interface thread for every input report: the report ID and the bytes
    // after it, zero-filled to at least 64 bytes (and the device's input report length).
    using TJvHidDataEvent =
        std::function<void(TJvHidDevice* device, quint8 reportId, const QByteArray& data)>;

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

    int threadSleepTime() const { return sleepMs_; }
    // Accepted values 10..10000 ms; others are ignored. Takes effect when the reader next starts.
    void setThreadSleepTime(int ms);

    // Setting a handler starts the reader when the device is checked out, plugged in and
    // accessible; clearing it stops the reader, and reports still on their way are dropped.
    // Releasing the device stops its writer too, dropping what it has not yet written.
    void setDataHandler(TJvHidDataEvent handler);
    bool hasDataHandler() const { return bool(handler_); }

    // Queues one output report, written at once by the device's writer. The result of the write
    // is not reported. Returns false when the device cannot be written (vanished, no access).
    bool writeReport(const QByteArray& report);

    // Increases whenever the reader starts or stops; a report read under an older generation is
    // never handled.
    quint64 generation() const { return generation_; }

private:
    friend class TJvHidDeviceController;
    TJvHidDevice(TJvHidDeviceController* owner, HidDeviceInfo info);
    ~TJvHidDevice() override;

    void startReader();
    void stopReader();
    void stopIo(); // reader and writer; queued writes are dropped
    void deliver(quint64 generation, const QByteArray& report);

    TJvHidDeviceController* owner_;
    HidDeviceInfo info_;
    bool pluggedIn_ = true;
    bool checkedOut_ = false;
    int sleepMs_ = 100;
    TJvHidDataEvent handler_;
    quint64 generation_ = 0;
    std::unique_ptr<TJvHidDeviceReadThread> reader_;
    std::shared_ptr<ReadyGate> readerReady_;
    std::unique_ptr<HidWriteThread> writer_;
};

} // namespace kvt
