// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/Dispatcher.h"

#include <QByteArray>
#include <QObject>

namespace kvt {

class HidDevice;

// The commands to and the responses from the active controller: framing of commands into output
// reports and dispatch of input reports by operation code.
class Transport : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // The controller commands go to; null while none is connected (commands are then dropped).
    void setActiveDevice(HidDevice* device);
    HidDevice* activeDevice() const { return active_; }
    // Identity of the active controller (its device instance), 0 when none: an operation that
    // outlives a connection checks it before it sends on the original's behalf.
    quint32 activeInstance() const;

    // Sends one command (operation code first, at most 255 bytes) to the active device as one
    // output report: report ID 1, the command, zeros up to the device's output report length.
    // Does nothing while no controller is connected. Bytes a command does not assign are zeros.
    void send(const QByteArray& command);
    void sendCode(quint8 code) { send(QByteArray(1, char(code))); }

    // Every input report of the active device goes through here to the subscribed handlers.
    void receive(const QByteArray& data) { dispatcher_.dispatch(data); }

    void subscribe(quint8 code, QObject* receiver, Dispatcher::Handler handler) {
        dispatcher_.subscribe(code, receiver, std::move(handler));
    }
    const Dispatcher& dispatcher() const { return dispatcher_; }

signals:
    // A command was handed to the device (after framing); for observers such as a trace.
    void commandSent(const QByteArray& command);

private:
    HidDevice* active_ = nullptr;
    Dispatcher dispatcher_;
};

// Builds the output report of `command` for a device whose output reports are `reportLength`
// bytes long (report ID included): ID 1, the command cut to fit, zeros after it.
QByteArray frameOutputReport(const QByteArray& command, int reportLength);

} // namespace kvt
