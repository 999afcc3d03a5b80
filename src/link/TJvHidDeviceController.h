#pragma once

#include "link/HidBackend.h"
#include "link/TJvHidDeviceReadThread.h"

#include <QList>
#include <QObject>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace kvt {

class TJvHidDevice;

// The device layer: keeps the list of present HID devices, hands them out and takes them back,
// and raises a device change whenever the set of devices changed (and once, shortly after it is
// created, so the first scan runs as soon as the event loop does).
class TJvHidDeviceController : public QObject {
    Q_OBJECT
public:
    using TJvHidEnumerateEvent = std::function<bool(TJvHidDevice* device, int index)>;

    explicit TJvHidDeviceController(HidBackend* backend, QObject* parent = nullptr);
    // Stops every reader and writer and waits for them a bounded time.
    ~TJvHidDeviceController() override;

    void setOnEnumerate(TJvHidEnumerateEvent callback) { onEnumerate_ = std::move(callback); }

    // Calls the enumeration callback for every plugged-in device with its index in the list;
    // stops early when the callback returns false.
    void Enumerate();
    // Marks the device at `index` as held and hands it out; null for an index out of range or a
    // device already held.
    TJvHidDevice* CheckOutByIndex(int index);
    // Releases a held device: a fresh, unheld object for the same device takes its place while it
    // is plugged in; a vanished one leaves the list.
    void CheckIn(TJvHidDevice* device);

    int DevThreadSleepTime = 100;

    int deviceCount() const { return int(devices_.size()); }
    TJvHidDevice* device(int index) const { return devices_.value(index); }
    HidBackend* backend() const { return backend_; }

    // Writes queued and reports read that have not yet been written or handled.
    int ioPending() const { return *ioPending_; }
    // Stops all I/O threads and waits for them at most `ms` in all; true when all have ended.
    bool shutdownIo(int ms);

    // Where the I/O threads post their work for the user-interface thread. It outlives the
    // controller: once the controller is gone, posting does nothing.
    class Mailbox {
    public:
        // Runs `work` on the controller's thread, later; false when the controller is gone.
        bool post(std::function<void()> work);

    private:
        friend class TJvHidDeviceController;
        std::mutex mutex_;
        TJvHidDeviceController* target_ = nullptr;
    };

signals:
    // The set of HID devices changed (OnDeviceChange).
    void deviceChange();

private:
    friend class TJvHidDevice;
    void rescan(bool raiseAlways);
    void requestRescan();
    void retire(std::unique_ptr<TJvHidDeviceReadThread> reader, std::unique_ptr<HidWriteThread> writer);
    void reapFinished();
    TJvHidDevice* makeDevice(const HidDeviceInfo& info);

    HidBackend* backend_;
    QList<TJvHidDevice*> devices_;
    TJvHidEnumerateEvent onEnumerate_;
    IoCounter ioPending_;
    std::shared_ptr<Mailbox> mailbox_;
    bool rescanQueued_ = false;
    bool inDeviceChange_ = false;
    std::vector<std::unique_ptr<TJvHidDeviceReadThread>> stoppingReaders_;
    std::vector<std::unique_ptr<HidWriteThread>> stoppingWriters_;
};

} // namespace kvt
