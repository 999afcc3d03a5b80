// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <optional>

class QTabWidget;
class QTimer;

namespace kvt {

struct AppContext;
class Connection;

// The 200 ms poll: while a controller is connected it sends what the shown page asks for and
// tells every page about the tick. A device change that leaves a controller connected keeps the
// poll's rhythm: the timer is only started when it is not already running.
class Poller : public QObject {
    Q_OBJECT
public:
    static constexpr int IntervalMs = 200;

    Poller(AppContext& context, Connection& connection, QTabWidget* pages, QObject* parent = nullptr);

    QTimer* timer() const { return timer_; }
    void poll();

    // A faster poll of one request for a window that follows the controller over time: while set,
    // the timer runs every `intervalMs` (rounded to a divisor of IntervalMs: 100, 50 ...) and every
    // tick sends `code`, whatever page is shown. The shown page's own request, when it is another
    // code, and the pages' ticks keep the 200 ms rhythm. clearOverride() restores the usual poll.
    void setOverride(quint8 code, int intervalMs);
    void clearOverride();
    std::optional<quint8> overrideCode() const { return overrideCode_; }

private:
    AppContext& context_;
    QPointer<QTabWidget> pages_;
    QTimer* timer_;
    std::optional<quint8> overrideCode_;
    int ticksPerRound_ = 1; // override ticks per 200 ms
    int tick_ = 0;
};

} // namespace kvt
