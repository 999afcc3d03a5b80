// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/ByteReader.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <array>
#include <functional>
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
// handlers; they run in the order they subscribed. Each handler belongs to a receiver object and
// is never called once that object is destroyed. Codes nobody subscribed to are ignored.
class Dispatcher {
public:
    using Handler = std::function<void(const Response&)>;

    // Response length every handler may read up to.
    static constexpr int MinimumLength = 65;

    void subscribe(quint8 code, QObject* receiver, Handler handler);
    // Runs the handlers of the response's code; a short response is zero-filled first.
    void dispatch(QByteArray data) const;
    int subscriberCount(quint8 code) const;

private:
    struct Subscription {
        QPointer<QObject> receiver;
        Handler handler;
    };
    std::array<std::vector<Subscription>, 256> subscriptions_;
};

} // namespace kvt
