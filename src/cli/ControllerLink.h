// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/Dispatcher.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <optional>

namespace kvt {
class HidDevice;
class HidDeviceManager;
} // namespace kvt

namespace kvt::cli {

// The exchange with one controller: commands go out as output reports, and each answer awaited
// is taken from the reports that come in, within a time-out. Only one wait runs at a time; reports
// nobody waits for are dropped. Nothing blocks: the rest of an operation is a continuation.
class ControllerLink : public QObject {
    Q_OBJECT
public:
    // What a wait makes of one report: not its business, a step on the way (the time-out starts
    // again), or the end of the wait.
    enum class Take { Ignore, Progress, Done };
    using Taker = std::function<Take(const Response&)>;
    using Then = std::function<void(const Response&)>;

    // Why a wait ended without its answer.
    struct Lost {
        bool vanished = false; // the device went away; otherwise the time-out passed
        QString step;          // what was being waited for
        int waitedMs = 0;
    };

    // Takes over the device's reports; the device must be checked out of `manager`.
    ControllerLink(HidDeviceManager& manager, HidDevice* device, int timeoutMs, QObject* parent = nullptr);
    ~ControllerLink() override;

    HidDevice* device() const { return device_; }
    int timeoutMs() const { return timeoutMs_; }

    void send(const QByteArray& command);
    // Waits for reports until `take` says Done, then calls `then` with that report. `step` names
    // what is awaited for the error message; `timeoutMs` 0 uses the link's time-out.
    void await(const QString& step, Taker take, Then then, int timeoutMs = 0);
    // Sends `command`, then waits for the first report with the operation code `answer`.
    void request(const QByteArray& command, quint8 answer, const QString& step, Then then);
    // The step named in a failure from now on (a transfer tells how far it got).
    void setStep(const QString& step) { step_ = step; }
    // Stops waiting; nothing is called.
    void cancel();
    bool waiting() const { return bool(take_); }

    void setOnLost(std::function<void(const Lost&)> handler) { onLost_ = std::move(handler); }

private:
    void receive(const QByteArray& data);
    void lose(bool vanished);

    HidDeviceManager& manager_;
    HidDevice* device_;
    int timeoutMs_;
    int currentTimeoutMs_ = 0;
    QTimer timer_;
    QString step_;
    Taker take_;
    Then then_;
    std::function<void(const Lost&)> onLost_;
};

} // namespace kvt::cli
