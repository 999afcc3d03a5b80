// SPDX-License-Identifier: GPL-3.0-or-later
// An hour of use on the simulated controller's clock, driven by the test so it takes minutes:
// the 200 ms poll on the Control page and on the Program page (five minutes each in turn), the
// controller unplugged and plugged in again every 10 s, a program sent every minute. Between a
// warm point (after ten minutes, when every activity has run) and the end, the live objects of the
// application stay the same and the logs stay bounded; under AddressSanitizer the run ends without
// a leak. Prints one line for the benchmark script:
//   SOAK resident_kb_start=<n> resident_kb_end=<n> live_objects_start=<n> live_objects_end=<n>
//
// KVT_SOAK_MINUTES changes the length (at least 11 minutes, so that the warm point is reached).

#include "LiveObjects.h"
#include "RigTest.h"
#include "app/MainWindow.h"
#include "program/core/ProgramFile.h"
#include "shell/Poller.h"
#include "sim/SimController.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

using namespace testing;

namespace {

constexpr int TickMs = kvt::Poller::IntervalMs;
constexpr int TicksPerSecond = 1000 / TickMs;
constexpr int ControlPage = 0;
constexpr int ProgramPage = 3;
constexpr int ProgramCommands = 50;
constexpr int WarmMinute = 10;
constexpr qsizetype StatusTextLimit = 200; // characters a status panel may hold

int soakMinutes() {
    const int n = qEnvironmentVariableIntValue("KVT_SOAK_MINUTES");
    return n > WarmMinute ? n : 60;
}

QByteArray soakProgram() {
    QList<kvt::program::AddressedCommand> commands;
    for (int i = 0; i < ProgramCommands; ++i)
        commands.append(
            kvt::program::AddressedCommand{0, {quint8(15), quint8(i), 0, 0, 0, 0, 0, 0, 0, quint8(i)}});
    return kvt::program::encodeProgramFile(commands);
}

} // namespace

class SoakTest : public QObject {
    Q_OBJECT

private slots:
    void hourOfPollingReplugsAndSends() {
        QTemporaryDir dir;
        const QString file = dir.filePath("soak.txp");
        {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QCOMPARE(f.write(soakProgram()), qint64(ProgramCommands * kvt::program::FileRecordSize));
        }

        rig::AppRig rig;
        rig.sim().setWrittenLogLimit(kvt::sim::SimBackend::WrittenLogLimit); // as the program's own
        kvt::Poller& poller = rig.program().mainWindow->poller();
        const int id = rig.plugController("KVT318");
        rig.settle();
        QVERIFY(rig.showPage(ProgramPage));
        rig.answerFile(file);
        QVERIFY(rig.click("btn_ProgOpen"));
        rig.settle();
        QCOMPARE(rig.text("EditProgSize"), QString::number(ProgramCommands));
        QVERIFY(rig.showPage(ControlPage));

        // Every command handed to a device, counted by code: the rig's own log is not kept.
        QHash<int, int> sentCodes;
        QObject observer;
        connect(&rig.program().mainWindow->link(), &kvt::Transport::commandSent, &observer,
                [&](const QByteArray& command) { ++sentCodes[command.isEmpty() ? -1 : quint8(command[0])]; });

        const int minutes = soakMinutes();
        const int ticks = minutes * 60 * TicksPerSecond;
        const int warmTick = WarmMinute * 60 * TicksPerSecond + TicksPerSecond; // 1 s after the replug
        LiveObjects warm;
        qint64 warmRss = 0;
        int sends = 0, delivered = 0, replugs = 0;
        QHash<int, int> polledOn; // poll requests sent, by the page shown
        bool connected = true;

        const int lastTick = ticks + TicksPerSecond; // measured as the warm point: 1 s after a replug
        for (int tick = 0; tick <= lastTick; ++tick) {
            const int second = tick / TicksPerSecond;
            const bool onTheSecond = tick % TicksPerSecond == 0;

            // Pages in turn, five minutes each, and the plug cycle every 10 s: out at the mark,
            // in again one tick later.
            if (onTheSecond && second % 300 == 0 && !rig.visible("TFormProgress"))
                QVERIFY(rig.showPage((second / 300) % 2 ? ProgramPage : ControlPage));
            if (onTheSecond && second % 10 == 0 && tick > 0) {
                rig.unplug(id);
                connected = false;
            } else if (!connected) {
                rig.replug(id);
                connected = true;
                ++replugs;
            }
            // A program sent every minute, 5 s after the plug cycle.
            if (onTheSecond && second % 60 == 5) {
                QVERIFY2(rig.click("btn_SendProg"), qPrintable(QStringLiteral("send at %1 s").arg(second)));
                ++sends;
            }

            rig.sim().advance(TickMs);
            poller.timer()->stop(); // the test is the clock
            const int before = sentCodes.value(97) + sentCodes.value(31);
            poller.poll();
            rig.settle();
            const int page = rig.page();
            polledOn[page] += sentCodes.value(97) + sentCodes.value(31) - before;

            if (rig.visible("TFormProgress") && rig.enabled("BtnOK")) {
                QCOMPARE(rig.text("Message"), QString("Program przesłany."));
                QVERIFY(rig.click("BtnOK"));
                ++delivered;
            }
            if (tick == warmTick) {
                warm = settledLiveObjects(rig);
                warmRss = residentKb();
            }
        }
        // The end is measured as the warm point was: connected, on the Control page, 1 s after a
        // replug, nothing being sent.
        QVERIFY(connected && rig.page() == ControlPage && !rig.visible("TFormProgress"));
        const LiveObjects end = settledLiveObjects(rig, &warm);
        const qint64 endRss = residentKb();
        std::printf(
            "SOAK resident_kb_start=%lld resident_kb_end=%lld live_objects_start=%d live_objects_end=%d\n",
            static_cast<long long>(warmRss), static_cast<long long>(endRss), warm.total(), end.total());
        std::fflush(stdout);
        qInfo("warm: %s", qPrintable(warm.describe()));
        qInfo("end:  %s", qPrintable(end.describe()));
        QVERIFY2(end == warm,
                 qPrintable(QStringLiteral("warm: %1\nend:  %2").arg(warm.describe(), end.describe())));

        // Everything happened as planned.
        QCOMPARE(replugs, minutes * 6);
        QCOMPARE(sends, minutes);
        QCOMPARE(delivered, sends);
        QCOMPARE(sentCodes.value(229), sends);
        QCOMPARE(sentCodes.value(230), sends * ProgramCommands);
        QCOMPARE(rig.sim().controller(id)->programLength(), ProgramCommands);
        // Polls on both pages: most ticks poll, the ones without a controller do not.
        QVERIFY(polledOn.value(ControlPage) > ticks / 3 && polledOn.value(ProgramPage) > ticks / 3);
        QVERIFY(sentCodes.value(100) >= replugs && sentCodes.value(99) >= replugs);

        // The logs stay bounded.
        for (int panel = 0; panel < 3; ++panel)
            QVERIFY(rig.statusPanel(panel).size() <= StatusTextLimit);
        QVERIFY(rig.text("TextStatus").size() <= StatusTextLimit);
        for (auto* memo : rig.program().mainWindow->findChildren<QPlainTextEdit*>()) {
            const int limit = memo->maximumBlockCount();
            QVERIFY2(limit > 0 || memo->blockCount() <= kvt::program::ProgramCapacity + 1,
                     qPrintable(memo->objectName() + QStringLiteral(": %1 lines").arg(memo->blockCount())));
        }
        QVERIFY2(
            rig.sim().written().size() <= kvt::sim::SimBackend::WrittenLogLimit,
            qPrintable(
                QStringLiteral("%1 reports in the simulated backend's log").arg(rig.sim().written().size())));
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
    SoakTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_soak.moc"
