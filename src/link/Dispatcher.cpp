// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/Dispatcher.h"

namespace kvt {

void Dispatcher::subscribe(quint8 code, QObject* receiver, Handler handler) {
    auto& list = subscriptions_[code];
    std::erase_if(list, [](const Subscription& s) { return !s.receiver; });
    list.push_back({receiver, std::move(handler)});
}

void Dispatcher::dispatch(QByteArray data) const {
    if (data.size() < MinimumLength)
        data.append(MinimumLength - data.size(), '\0');
    const Response response{data};
    // A handler may subscribe further handlers: run the ones subscribed when the report arrived.
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

} // namespace kvt
