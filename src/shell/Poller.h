#pragma once

#include <QObject>
#include <QPointer>

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

private:
    AppContext& context_;
    QPointer<QTabWidget> pages_;
    QTimer* timer_;
};

} // namespace kvt
