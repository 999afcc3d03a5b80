// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/HidBackend.h"
#include "link/HidIoThreads.h"

#include <QList>
#include <QObject>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace kvt {

class HidDevice;

// The device layer: keeps the list of present HID devices, hands them out and takes them back,
// and raises a device change whenever the set of devices changed (and once, shortly after it is
// started, so the first scan runs as soon as the event loop does).
class HidDeviceManager : public QObject {
    Q_OBJECT
public:
    using EnumerateHandler = std::function<bool(HidDevice* device, int index)>;

    // Start::Now starts the manager as it is made; Start::Later leaves that to start().
    enum class Start { Now, Later };

    explicit HidDeviceManager(HidBackend* backend, QObject* parent = nullptr, Start start = Start::Now);
    // Stops every reader and writer and waits for them a bounded time.
    ~HidDeviceManager() override;

    // Lists the present devices, starts watching for plugs and queues the first scan; only the
    // first call does anything.
    void start();

    void setOnEnumerate(EnumerateHandler callback) { onEnumerate_ = std::move(callback); }

    // Calls the enumeration callback for every plugged-in device with its index in the list;
    // stops early when the callback returns false.
    void enumerate();
    // Marks the device at `index` as held and hands it out; null for an index out of range or a
    // device already held.
    HidDevice* checkOut(int index);
    // Releases a held device: a fresh, unheld object for the same device takes its place while it
    // is plugged in; a vanished one leaves the list.
    void checkIn(HidDevice* device);

    int deviceCount() const { return int(devices_.size()); }
    HidDevice* device(int index) const { return devices_.value(index); }
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
        friend class HidDeviceManager;
        std::mutex mutex_;
        HidDeviceManager* target_ = nullptr;
    };

signals:
    // The set of HID devices changed.
    void devicesChanged();

private:
    friend class HidDevice;
    void rescan(bool raiseAlways);
    void requestRescan();
    void retire(std::unique_ptr<HidReader> reader, std::unique_ptr<HidWriter> writer);
    void reapFinished();
    HidDevice* makeDevice(const HidDeviceInfo& info);

    HidBackend* backend_;
    QList<HidDevice*> devices_;
    EnumerateHandler onEnumerate_;
    IoCounter ioPending_;
    std::shared_ptr<Mailbox> mailbox_;
    bool rescanQueued_ = false;
    bool started_ = false;
    bool inDeviceChange_ = false;
    std::vector<std::unique_ptr<HidReader>> stoppingReaders_;
    std::vector<std::unique_ptr<HidWriter>> stoppingWriters_;
};

} // namespace kvt
