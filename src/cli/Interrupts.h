// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QSocketNotifier;

namespace kvt::cli {

// Turns SIGINT, SIGTERM and SIGHUP into a signal on the event loop, so a command interrupted by
// Ctrl-C, kill or a closed terminal ends as it chooses (status --watch ends successfully) and the
// simulated controllers' memory is still saved. One instance at a time.
class Interrupts : public QObject {
    Q_OBJECT
public:
    explicit Interrupts(QObject* parent = nullptr);
    ~Interrupts() override;

signals:
    void interrupted();

private:
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace kvt::cli
