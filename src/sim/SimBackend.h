// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/HidBackend.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <chrono>
#include <memory>

namespace kvt::sim {

class SimController;

// Faults a simulated device can be told to show.
struct Faults {
    bool silent = false;        // answers nothing
    int shortReports = 0;       // when > 0, answers are cut to this many bytes (report ID included)
    bool unknownCodes = false;  // every answer is followed by a report with a code nobody handles
    bool garbage = false;       // every answer is followed by a report of random bytes
    bool failingWrites = false; // every write fails (it still reaches the written() log)
    // When > 0, the device is unplugged once it has handled this many more commands, before it
    // answers the last one.
    int vanishAfterCommands = 0;
};

// A HID backend that hosts simulated controllers and fake HID devices. Devices are plugged,
// unplugged, replugged and have their access changed at run time; open handles talk to them
// through thread-safe queues, as the kernel's hidraw nodes would: every open handle gets its
// own copy of each input report.
class SimBackend : public HidBackend {
    Q_OBJECT
public:
    explicit SimBackend(QObject* parent = nullptr);
    ~SimBackend() override;

    QList<HidDeviceInfo> enumerate() override;
    std::unique_ptr<HidHandle> open(const QString& path, quint32 instance) override;

    // Plugs a simulated controller of `model` ("KVT318", "KVT317", "PXA-KVT"); returns its id.
    // Its serial number is "SIM" followed by the id.
    int plugController(const QString& model, float firmware = 2.04f, const QString& deviceText = "SIM");
    // Plugs a device that answers nothing; returns its id.
    int plugDevice(const QString& product, quint16 vid = 0x1234, quint16 pid = 0x5678, bool access = true,
                   int inLen = 65, int outLen = 65);
    void unplug(int id); // the device vanishes; its open handles fail
    void unplugAll();
    void
    replug(int id); // plugs the same device again, with a new instance; a controller keeps what it stored
    void setAccess(int id, bool access);
    bool isPlugged(int id) const;
    QList<int> pluggedIds() const; // in the order they were plugged
    HidDeviceInfo info(int id) const;

    // The controller model behind a device id (null for a fake device). Calls into it must hold
    // no lock of the caller's; the backend serialises access with its own.
    SimController* controller(int id);
    void setFaults(int id, const Faults& faults);

    // An input report arrives from device `id`: `response` starts with the operation code; the
    // report ID is put in front and the report is zero-filled to the device's input length.
    void inject(int id, const QByteArray& response);

    // The output reports written to any device, in order, exactly as written: all of them, or the
    // latest `limit` once setWrittenLogLimit(limit) was called. The program's own simulation keeps
    // WrittenLogLimit, so that a run of hours does not keep every poll.
    static constexpr int WrittenLogLimit = 10000;
    void setWrittenLogLimit(int limit); // 0: keep every report
    struct Written {
        int device;
        QByteArray report;
        bool ok;
    };
    QList<Written> written() const;
    void clearWritten();

    // Clock of the simulated controllers. In manual mode only advance() moves it; otherwise it
    // follows real time.
    void setManualClock(bool manual);
    void advance(int ms);

    // Real time a report takes each way between the host and every device: a write returns that
    // much later, and an input report can be read that much after the device sent it (reports
    // already waiting keep their time). 0, the default, delivers at once. For measurements of
    // the link; tests keep to the manual clock.
    void setLatency(std::chrono::microseconds latency);

    // Input reports waiting in open handles that are not cancelled (including one just read and
    // not yet followed by the next read), so a test can tell when everything sent has arrived.
    // A handle that only writes cancels itself and so never counts.
    int pendingInput() const;
    // Handles not yet closed on device `id` (on every device when `id` is negative), plugged or
    // not, whatever instance they were opened for: once a device has vanished and its reader and
    // writer have ended, none is left on it.
    int openHandles(int id = -1) const;

private:
    void announceChange(); // one queued devicesChanged() for all changes made in one go
    void clockTick();

    struct Impl;
    std::shared_ptr<Impl> d;
};

} // namespace kvt::sim
