// SPDX-License-Identifier: GPL-3.0-or-later
// Dispatch of responses to several subscribers per operation code.

#include "link/Dispatcher.h"

#include <QTest>

using kvt::Dispatcher;
using kvt::Response;

class DispatcherTest : public QObject {
    Q_OBJECT

private slots:
    void everySubscriberRunsInSubscriptionOrder() {
        Dispatcher dispatcher;
        QObject page;
        QObject strip;
        QStringList calls;
        dispatcher.subscribe(97, &page,
                             [&](const Response& r) { calls << QStringLiteral("page %1").arg(r.code()); });
        dispatcher.subscribe(97, &strip, [&](const Response&) { calls << QStringLiteral("strip"); });
        dispatcher.subscribe(99, &page, [&](const Response&) { calls << QStringLiteral("config"); });
        dispatcher.dispatch(QByteArray(1, char(97)));
        QCOMPARE(calls, (QStringList{"page 97", "strip"}));
        calls.clear();
        dispatcher.dispatch(QByteArray(1, char(98))); // nobody's code
        QVERIFY(calls.isEmpty());
    }

    void handlerOfADestroyedReceiverIsNeverCalled() {
        Dispatcher dispatcher;
        int calls = 0;
        auto receiver = std::make_unique<QObject>();
        QObject other;
        dispatcher.subscribe(151, receiver.get(), [&](const Response&) { ++calls; });
        dispatcher.subscribe(151, &other, [&](const Response&) { calls += 10; });
        receiver.reset();
        dispatcher.dispatch(QByteArray(1, char(151)));
        QCOMPARE(calls, 10);
        QCOMPARE(dispatcher.subscriberCount(151), 1);
    }

    void shortResponsesAreZeroFilled() {
        Dispatcher dispatcher;
        QObject receiver;
        QByteArray seen;
        dispatcher.subscribe(0, &receiver, [&](const Response& r) { seen = r.data; });
        dispatcher.dispatch(QByteArray()); // an empty report reads as code 0 with zeros
        QCOMPARE(seen, QByteArray(Dispatcher::MinimumLength, '\0'));
        dispatcher.subscribe(100, &receiver, [&](const Response& r) { seen = r.data; });
        dispatcher.dispatch(QByteArray("\x64\x01", 2));
        QCOMPARE(seen.size(), Dispatcher::MinimumLength);
        QCOMPARE(seen.left(3), QByteArray("\x64\x01\x00", 3));
    }

    void aHandlerMaySubscribeAnotherWithoutDisturbingTheRun() {
        Dispatcher dispatcher;
        QObject receiver;
        int later = 0;
        dispatcher.subscribe(31, &receiver, [&](const Response&) {
            dispatcher.subscribe(31, &receiver, [&](const Response&) { ++later; });
        });
        dispatcher.dispatch(QByteArray(1, char(31)));
        QCOMPARE(later, 0); // subscribed during the run: from the next report on
        dispatcher.dispatch(QByteArray(1, char(31)));
        QCOMPARE(later, 1);
    }
};

QTEST_GUILESS_MAIN(DispatcherTest)
#include "test_dispatcher.moc"
