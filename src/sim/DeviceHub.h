// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sim/InputQueue.h"
#include "sim/SimBackend.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <vector>

namespace kvt::sim {

// The simulated USB bus: the devices plugged in, the handles open on them and the log of
// written reports. Every member is thread-safe; one recursive mutex guards the whole state,
// including the controller models, which take it for each of their own public calls.
class DeviceHub {
public:
    // A device as plugged: its listing and, for a controller, the model behind it.
    struct Device {
        HidDeviceInfo info;
        bool plugged = false;
        int hidrawNumber = -1;
        std::unique_ptr<SimController> controller;
        Faults faults;
    };

    // What an open handle is bound to.
    struct Attachment {
        int device = 0;
        quint32 instance = 0;
        std::shared_ptr<InputQueue> queue;
    };

    DeviceHub();
    ~DeviceHub();

    int plug(HidDeviceInfo info, std::unique_ptr<SimController> controller);
    bool unplug(int id);
    bool replug(int id);
    bool setAccess(int id, bool access);
    void unplugAll();

    QList<HidDeviceInfo> enumerate() const;
    bool isPlugged(int id) const;
    QList<int> pluggedIds() const;
    HidDeviceInfo info(int id) const;
    SimController* controller(int id);
    void setFaults(int id, const Faults& faults);

    void inject(int id, const QByteArray& response);
    void advance(int ms);
    // Real time each way between the host and every device (see SimBackend::setLatency).
    void setLatency(std::chrono::microseconds latency);
    std::chrono::microseconds latency() const { return std::chrono::microseconds(latencyUs_.load()); }
    int pendingInput() const;
    int openHandles(int id = -1) const;
    QList<SimBackend::Written> written() const;
    void clearWritten();
    void setWrittenLogLimit(int limit);

    // Handle side: attach by path (nothing when the path is unknown or the device has no
    // access), write one output report, detach when the handle goes.
    Attachment attach(const QString& path);
    bool write(int device, quint32 instance, const quint8* data, int length);
    void detach(const InputQueue* queue);

private:
    Device* live(int id, quint32 instance);
    void vanish(int id, Device& device);
    void appear(int id, Device& device);
    QByteArray frame(const Device& device, const QByteArray& response) const;
    void push(int id, const QByteArray& report);
    void deliver(int id, const Device& device, const QList<QByteArray>& responses);

    mutable std::recursive_mutex mutex_;
    std::map<int, Device> devices_;
    QList<int> order_; // plugged ids, in plug order
    int nextId_ = 1;
    quint32 nextInstance_ = 1;
    std::vector<Attachment> attachments_;
    QList<SimBackend::Written> log_;
    int logLimit_ = 0; // 0: keep every written report
    std::mt19937 rng_{0x5EED};
    std::atomic<qint64> latencyUs_ = 0; // read by writer threads without the lock
};

} // namespace kvt::sim
