#include "shell/Poller.h"

#include "link/Connection.h"
#include "link/Transport.h"
#include "shell/AppContext.h"
#include "shell/AppState.h"
#include "shell/Page.h"

#include <QTabWidget>
#include <QTimer>

namespace kvt {

Poller::Poller(AppContext& context, Connection& connection, QTabWidget* pages, QObject* parent)
    : QObject(parent), context_(context), pages_(pages), timer_(new QTimer(this)) {
    timer_->setObjectName(QStringLiteral("DataTimer"));
    timer_->setInterval(IntervalMs);
    connect(timer_, &QTimer::timeout, this, &Poller::poll);
    connect(&connection, &Connection::controllerConnected, this, [this] {
        if (!timer_->isActive())
            timer_->start();
    });
    connect(&connection, &Connection::disconnected, timer_, &QTimer::stop);
}

void Poller::poll() {
    if (!context_.state->connected() || !pages_)
        return;
    if (const auto* shown = qobject_cast<const Page*>(pages_->currentWidget())) {
        if (const std::optional<quint8> request = shown->pollRequest())
            context_.link->sendCode(*request);
    }
    for (int i = 0; i < pages_->count(); ++i) {
        if (auto* page = qobject_cast<Page*>(pages_->widget(i)))
            page->pollTick();
    }
}

} // namespace kvt
