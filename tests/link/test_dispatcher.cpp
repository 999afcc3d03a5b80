// SPDX-License-Identifier: GPL-3.0-or-later
// Dispatch of responses to several subscribers per operation code.

#include "link/Dispatcher.h"

#include <QTest>
#include <memory>

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

    // A destroyed receiver's handlers go at once, with what they captured, on every code; receivers
    // that come and go leave nothing behind however many there were.
    void aDestroyedReceiversHandlersAreRemovedAtOnce() {
        Dispatcher dispatcher;
        int calls = 0;
        auto receiver = std::make_unique<QObject>();
        QObject other;
        auto captured = std::make_shared<int>(0);
        const std::weak_ptr<int> watch = captured;
        dispatcher.subscribe(151, receiver.get(), [&, captured](const Response&) { ++calls; });
        dispatcher.subscribe(99, receiver.get(), [captured](const Response&) {});
        dispatcher.subscribe(151, &other, [&](const Response&) { calls += 10; });
        captured.reset();
        receiver.reset();
        QVERIFY(watch.expired());
        QCOMPARE(dispatcher.subscriptionCount(), 1);
        dispatcher.dispatch(QByteArray(1, char(151)));
        QCOMPARE(calls, 10);

        for (int i = 0; i < 1000; ++i) {
            QObject page;
            dispatcher.subscribe(97, &page, [](const Response&) {});
            dispatcher.subscribe(quint8(i), &page, [](const Response&) {});
        }
        QCOMPARE(dispatcher.subscriptionCount(), 1);

        // A receiver that outlives the dispatcher is destroyed without calling back into it.
        auto survivor = std::make_unique<QObject>();
        {
            Dispatcher shortLived;
            shortLived.subscribe(31, survivor.get(), [](const Response&) {});
        }
        survivor.reset();
    }

    // Destruction during a run: a receiver destroyed by an earlier handler is skipped in the same
    // run, and a handler that owns another receiver takes it along without disturbing the lists.
    void receiversDestroyedWhileDispatchingOrRemoving() {
        Dispatcher dispatcher;
        auto first = std::make_unique<QObject>();
        auto second = std::make_unique<QObject>();
        int secondCalls = 0;
        dispatcher.subscribe(97, first.get(), [&](const Response&) { second.reset(); });
        dispatcher.subscribe(97, second.get(), [&](const Response&) { ++secondCalls; });
        dispatcher.dispatch(QByteArray(1, char(97)));
        QCOMPARE(secondCalls, 0);
        QCOMPARE(dispatcher.subscriptionCount(), 1);

        auto owner = std::make_unique<QObject>();
        auto owned = std::make_shared<std::unique_ptr<QObject>>(std::make_unique<QObject>());
        dispatcher.subscribe(100, owned->get(), [](const Response&) {});
        dispatcher.subscribe(100, owner.get(), [owned](const Response&) {});
        owned.reset(); // the owner's handler holds the last reference to the owned receiver
        owner.reset();
        QCOMPARE(dispatcher.subscriptionCount(), 1);
        QCOMPARE(dispatcher.subscriberCount(100), 0);
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
