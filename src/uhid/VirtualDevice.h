// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/HidBackend.h"

#include <QObject>
#include <QString>
#include <memory>
#include <optional>

class QSocketNotifier;

namespace kvt::sim {
class SimBackend;
}

namespace kvt::uhid {

// One simulated controller behind a kernel HID device made through /dev/uhid: the kernel's HID
// core gives it a hidraw node like a controller on USB, every output report written there reaches
// the simulated controller, and its answers come back as input reports.
class VirtualDevice : public QObject {
    Q_OBJECT
public:
    // `simId` is a controller already plugged into `backend`; `outputLength` is the output report
    // length the device declares, report-ID byte included (a controller's is 65).
    VirtualDevice(sim::SimBackend& backend, int simId, int outputLength, QObject* parent = nullptr);
    ~VirtualDevice() override;

    // Creates the kernel device (and plugs the simulated controller in again after an unplug).
    // Error text on failure.
    std::optional<QString> plug();
    // Removes the kernel device; the simulated controller is unplugged with it.
    void unplug();
    bool isPlugged() const { return fd_ >= 0; }

    // A muted controller takes every command and answers none.
    void setMuted(bool muted);

    // Output reports received since the device was last plugged, and the operation code of the
    // first of them (-1 when none arrived).
    int outputReports() const { return outputReports_; }
    int firstCode() const { return firstCode_; }
    // Input reports sent since the device was last plugged.
    int inputReports() const { return inputReports_; }

    // Passes on what the simulated controller has sent: answers and the reports it sends by
    // itself.
    void forwardInput();

    QString product() const;
    QString serial() const;

private:
    void onUhidEvent();
    bool sendEvent(const void* event, std::size_t size);

    sim::SimBackend& backend_;
    int simId_;
    int outputLength_;
    bool everPlugged_ = false;
    int fd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    std::unique_ptr<HidHandle> handle_;
    int outputReports_ = 0;
    int firstCode_ = -1;
    int inputReports_ = 0;
};

// Why /dev/uhid cannot be used, in words for the person who ran the program; nothing when it can
// be opened for writing.
std::optional<QString> uhidProblem(const char* path = "/dev/uhid");

} // namespace kvt::uhid
