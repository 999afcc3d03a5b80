// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/ByteReader.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <array>
#include <functional>
#include <unordered_map>
#include <vector>

namespace kvt {

// One input report as the handlers see it: the response, operation code first, zero-filled to at
// least 65 bytes.
struct Response {
    QByteArray data;

    quint8 code() const { return data.isEmpty() ? 0 : quint8(data[0]); }
    ByteReader bytes() const { return ByteReader(data); }
};

// Hands each response to the handlers subscribed to its operation code. A code may have several
// handlers; they run in the order they subscribed. Each handler belongs to a receiver object: when
// that object is destroyed its handlers are removed at once (with whatever they captured), so a
// handler never runs for a receiver that is gone and pages that come and go leave nothing behind.
// Codes nobody subscribed to are ignored. Used on one thread, the one the receivers live on.
class Dispatcher {
public:
    using Handler = std::function<void(const Response&)>;

    // Response length every handler may read up to.
    static constexpr int MinimumLength = 65;

    Dispatcher() = default;
    ~Dispatcher();
    Dispatcher(const Dispatcher&) = delete;
    Dispatcher& operator=(const Dispatcher&) = delete;

    // A null receiver owns nothing, so its handler is not kept.
    void subscribe(quint8 code, QObject* receiver, Handler handler);
    // Runs the handlers of the response's code; a short response is zero-filled first.
    void dispatch(QByteArray data) const;
    // Handlers kept for `code`, counting only live receivers.
    int subscriberCount(quint8 code) const;
    // Handlers kept for all codes: what receivers that are gone would leave behind shows here.
    int subscriptionCount() const;

private:
    struct Subscription {
        QObject* owner; // only compared, never followed: identifies the receiver once it is gone
        QPointer<QObject> receiver;
        Handler handler;
    };
    void forget(QObject* receiver);
    void removeIf(const std::function<bool(const Subscription&)>& gone);

    std::array<std::vector<Subscription>, 256> subscriptions_;
    // One watch per receiver on its destruction, dropped when it fires or the dispatcher goes.
    std::unordered_map<QObject*, QMetaObject::Connection> watches_;
};

} // namespace kvt
