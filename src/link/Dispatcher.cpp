// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/Dispatcher.h"

#include <algorithm>
#include <functional>
#include <iterator>

namespace kvt {

Dispatcher::~Dispatcher() {
    // A receiver that outlives the dispatcher must not call back into it when it is destroyed.
    for (const auto& [receiver, watch] : watches_)
        QObject::disconnect(watch);
}

void Dispatcher::subscribe(quint8 code, QObject* receiver, Handler handler) {
    if (!receiver)
        return;
    QMetaObject::Connection& watch = watches_[receiver];
    if (!watch) {
        // No watch yet, or the receiver cut every connection of its signals (disconnect()), the
        // watch included: an object at this address may have died unseen, so its handlers go.
        removeIf([receiver](const Subscription& s) { return s.owner == receiver && !s.receiver; });
        watch = QObject::connect(receiver, &QObject::destroyed, [this, receiver] { forget(receiver); });
    }
    subscriptions_[code].push_back({receiver, receiver, std::move(handler)});
}

void Dispatcher::forget(QObject* receiver) {
    watches_.erase(receiver);
    removeIf([receiver](const Subscription& s) { return s.owner == receiver; });
}

void Dispatcher::removeIf(const std::function<bool(const Subscription&)>& gone) {
    // The handlers are destroyed only once every list is consistent again: what a handler
    // captured may own a further receiver, whose destruction comes back to forget().
    std::vector<Subscription> dropped;
    for (auto& list : subscriptions_) {
        const auto firstGone = std::stable_partition(list.begin(), list.end(), std::not_fn(gone));
        std::move(firstGone, list.end(), std::back_inserter(dropped));
        list.erase(firstGone, list.end());
    }
}

void Dispatcher::dispatch(QByteArray data) const {
    if (data.size() < MinimumLength)
        data.append(MinimumLength - data.size(), '\0');
    const Response response{data};
    // A handler may subscribe further handlers or destroy a receiver: run the ones subscribed
    // when the report arrived, skipping any whose receiver is gone by its turn.
    const std::vector<Subscription> handlers = subscriptions_[response.code()];
    for (const Subscription& s : handlers) {
        if (s.receiver)
            s.handler(response);
    }
}

int Dispatcher::subscriberCount(quint8 code) const {
    int count = 0;
    for (const Subscription& s : subscriptions_[code])
        count += s.receiver ? 1 : 0;
    return count;
}

int Dispatcher::subscriptionCount() const {
    int count = 0;
    for (const auto& list : subscriptions_)
        count += int(list.size());
    return count;
}

} // namespace kvt
