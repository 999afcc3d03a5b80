// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/Poller.h"

#include "link/Connection.h"
#include "link/Transport.h"
#include "shell/AppContext.h"
#include "shell/AppState.h"
#include "shell/Page.h"

#include <QTabWidget>
#include <QTimer>
#include <algorithm>

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

void Poller::setOverride(quint8 code, int intervalMs) {
    overrideCode_ = code;
    ticksPerRound_ = std::clamp(IntervalMs / std::max(intervalMs, 1), 1, IntervalMs);
    tick_ = 0;
    timer_->setInterval(IntervalMs / ticksPerRound_);
}

void Poller::clearOverride() {
    overrideCode_.reset();
    ticksPerRound_ = 1;
    tick_ = 0;
    timer_->setInterval(IntervalMs);
}

void Poller::poll() {
    if (!context_.state->connected() || !pages_)
        return;
    if (overrideCode_)
        context_.link->sendCode(*overrideCode_);
    const bool round = tick_ == 0;
    tick_ = (tick_ + 1) % ticksPerRound_;
    if (!round)
        return;
    if (const auto* shown = qobject_cast<const Page*>(pages_->currentWidget())) {
        const std::optional<quint8> request = shown->pollRequest();
        if (request && request != overrideCode_)
            context_.link->sendCode(*request);
    }
    for (int i = 0; i < pages_->count(); ++i) {
        if (auto* page = qobject_cast<Page*>(pages_->widget(i)))
            page->pollTick();
    }
}

} // namespace kvt
