// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/Model.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QStringList>

namespace kvt {

class HidDevice;
class HidDeviceManager;
class Transport;

// Chooses the active controller. On every device change it releases the devices it holds that
// have vanished (one still present keeps its handle), lists every HID device again, and connects
// the supported controllers it finds in list order: each one that can be opened becomes the
// active device, is greeted with 100 (identity) and 99 (configuration), and the last one keeps
// the connection.
class Connection : public QObject {
    Q_OBJECT
public:
    Connection(HidDeviceManager& manager, Transport& transport, QObject* parent = nullptr);

    // Runs the connection loop over the devices present now.
    void rescan();
    // Asks the active controller for its identity and configuration again.
    void greet();

signals:
    // Every HID device present, in the system's order: its product string, or "Device VID=...
    // PID=..." for one without. The connection state is "not connected" until one of the
    // signals below says otherwise.
    void devicesListed(const QStringList& entries);
    // A supported controller became the active device and is about to be greeted.
    void controllerConnected(kvt::Model model);
    // ... and has been greeted: 100 and 99 are on their way.
    void controllerGreeted(kvt::Model model);
    // The loop ended without a connected controller.
    void disconnected();

private:
    bool listDevice(HidDevice* device, int index);

    HidDeviceManager& manager_;
    Transport& transport_;
    QList<HidDevice*> listed_; // null where the check-out failed
    QSet<HidDevice*> kept_;    // held from the listing before, during a rescan
    QStringList entries_;
};

} // namespace kvt
