// SPDX-License-Identifier: GPL-3.0-or-later
// Quit signals reach the event loop as a Qt signal; the handling before is given back after.

#include "system/QuitSignals.h"

#include <QSignalSpy>
#include <QTest>
#include <csignal>

using kvt::QuitSignals;

namespace {

volatile std::sig_atomic_t earlier = 0;
void earlierHandler(int number) {
    earlier = number;
}

} // namespace

class QuitSignalsTest : public QObject {
    Q_OBJECT

private slots:
    void eachSignalArrivesOnTheEventLoopAndTheEarlierHandlingReturns() {
        for (const int number : {SIGTERM, SIGINT, SIGHUP})
            std::signal(number, earlierHandler);
        {
            QuitSignals quit;
            QVERIFY(quit.isActive());
            QuitSignals second; // only one at a time: the first keeps the signals
            QVERIFY(!second.isActive());
            QSignalSpy received(&quit, &QuitSignals::received);
            for (const int number : {SIGTERM, SIGINT, SIGHUP})
                std::raise(number);
            QTRY_COMPARE(received.size(), 3);
            QCOMPARE(received[0][0].toInt(), SIGTERM);
            QCOMPARE(received[2][0].toInt(), SIGHUP);
            QCOMPARE(int(earlier), 0);
        }
        std::raise(SIGHUP);
        QCOMPARE(int(earlier), SIGHUP);

        // Once the first is gone a new one takes the signals again.
        QuitSignals again;
        QVERIFY(again.isActive());
    }
};

QTEST_GUILESS_MAIN(QuitSignalsTest)
#include "test_quit_signals.moc"
