// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QSocketNotifier;

namespace kvt {

// Turns SIGTERM, SIGINT and SIGHUP into a signal on the event loop, so that a program ended by
// the session, a terminal, Ctrl-C or `kill` ends as it chooses and still saves what it keeps (the
// simulated controllers' memory). The handler itself only writes one byte, the signal's number,
// to a socket pair whose other end the event loop watches.
//
// One instance at a time: a second one made while the first lives stays inactive. Destroying the
// active one gives the signals back the handling they had before it.
class QuitSignals : public QObject {
    Q_OBJECT
public:
    explicit QuitSignals(QObject* parent = nullptr);
    ~QuitSignals() override;

    // False when the socket pair could not be made or another instance is active.
    bool isActive() const { return notifier_ != nullptr; }

signals:
    void received(int signalNumber);

private:
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace kvt
