// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QSocketNotifier;

namespace kvt {

// Turns SIGTERM, SIGINT and SIGHUP into a signal on the event loop, so that a program ended by
// the session, a terminal or `kill` leaves the event loop as if closed and saves what it keeps
// (the simulated controllers' memory). The handler itself only writes a byte to a pipe. One
// instance at a time; the default handling returns with its end.
class QuitSignals : public QObject {
    Q_OBJECT
public:
    explicit QuitSignals(QObject* parent = nullptr);
    ~QuitSignals() override;

signals:
    void received(int signalNumber);

private:
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace kvt
