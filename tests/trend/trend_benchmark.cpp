// SPDX-License-Identifier: GPL-3.0-or-later
// Figures of the trend window: CPU time of following 20 samples a second, the time to redraw a
// whole eight-hour run, and the memory such a run takes. Not a test: it measures and prints.
//
//   QT_QPA_PLATFORM=offscreen build/tests/trend/trend_benchmark [seconds per CPU measurement]
#include "AppRig.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "app/TrendModule.h"
#include "link/Bytes.h"
#include "link/Transport.h"
#include "shell/Poller.h"
#include "trend/TrendChart.h"
#include "trend/TrendWindow.h"
#include "trend/core/Decimation.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sys/resource.h>

using namespace kvt;
using namespace kvt::trend;

namespace {

constexpr qint64 SampleNs = 50'000'000; // 20 samples a second

// A drive going back and forth: position, speed, state steps and a few bits.
control::LiveStatus statusAt(qint64 n) {
    const double t = double(n) * 0.05;
    control::LiveStatus s;
    s.position = float(50 * std::sin(t / 7));
    s.speed = float(50.0 / 7 * std::cos(t / 7));
    s.destination = s.speed >= 0 ? 50.0f : -50.0f;
    s.motorState = quint8(std::abs(s.speed) > 1 ? 3 : 4);
    s.ioFlags = quint8((n / 40) & 0x41);
    s.temperatureRaw = 60 + int(n / 72000);
    s.analogMv = quint32(5000 + 4000 * std::sin(t / 30));
    s.supplyMv = 24000 + quint32(n % 13);
    s.encoderCount = qint32(s.position * 4000);
    return s;
}

QByteArray report(const control::LiveStatus& s) {
    QByteArray b(65, '\0');
    bytes::putU8(b, 0, 97);
    bytes::putF32le(b, 1, s.position);
    bytes::putF32le(b, 5, s.speed);
    bytes::putU8(b, 9, s.ioFlags);
    bytes::putU8(b, 10, s.motorState);
    bytes::putI32le(b, 15, s.temperatureRaw);
    bytes::putU32le(b, 19, s.analogMv);
    bytes::putU32le(b, 23, s.supplyMv);
    bytes::putI32le(b, 27, s.encoderCount);
    bytes::putF32le(b, 31, s.destination);
    return b;
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& v) { return double(v.tv_sec) + double(v.tv_usec) * 1e-6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double residentMb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

// Counts the time spent handling the events of the trend window and everything it owns (its
// paints, its refresh and flush timers), at the outermost level only.
class TimingApplication : public QApplication {
public:
    using QApplication::QApplication;

    QPointer<QWidget> trend;
    qint64 spentNs = 0;

    bool notify(QObject* receiver, QEvent* event) override {
        if (timing_ || !trend || !ownedByTrend(receiver))
            return QApplication::notify(receiver, event);
        timing_ = true;
        QElapsedTimer t;
        t.start();
        const bool result = QApplication::notify(receiver, event);
        spentNs += t.nsecsElapsed();
        timing_ = false;
        return result;
    }

private:
    bool ownedByTrend(const QObject* o) const {
        for (; o; o = o->parent())
            if (o == trend)
                return true;
        return false;
    }
    bool timing_ = false;
};

double lastTrendShare = 0; // time in the trend window's own events during the last measurement

// Feeds a live status report every 50 ms for `seconds` through the link, as the poll's answers
// arrive; returns the share of one core the process used meanwhile.
double cpuShareAt20PerSecond(MainWindow& window, qint64& n, int seconds) {
    QTimer feed;
    feed.setTimerType(Qt::PreciseTimer);
    QObject::connect(&feed, &QTimer::timeout, [&] { window.link().receive(report(statusAt(n++))); });
    QElapsedTimer wall;
    const double cpuBefore = cpuSeconds();
    auto* app = static_cast<TimingApplication*>(QCoreApplication::instance());
    app->spentNs = 0;
    wall.start();
    feed.start(50);
    QTimer::singleShot(seconds * 1000, [] { QCoreApplication::exit(0); });
    QApplication::exec();
    feed.stop();
    const double elapsed = double(wall.nsecsElapsed()) * 1e-9;
    lastTrendShare = double(app->spentNs) * 1e-9 / elapsed;
    return (cpuSeconds() - cpuBefore) / elapsed;
}

void chooseSpan(TrendWindow& trend, int index) {
    trend.ComboBox_TrendSpan->setCurrentIndex(index);
    emit trend.ComboBox_TrendSpan->activated(index);
}

// Median milliseconds of drawing the view (reduction and series) and of that plus a repaint.
std::pair<double, double> redrawMs(TrendWindow& trend, int rounds) {
    QList<double> draw;
    QList<double> paint;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer t;
        t.start();
        trend.refresh();
        draw << double(t.nsecsElapsed()) * 1e-6;
        trend.chart()->viewport()->repaint();
        paint << double(t.nsecsElapsed()) * 1e-6;
    }
    std::sort(draw.begin(), draw.end());
    std::sort(paint.begin(), paint.end());
    return {draw[rounds / 2], paint[rounds / 2]};
}

} // namespace

int main(int argc, char** argv) {
    TimingApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const int seconds = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 20;
    rig::AppRig rig;
    rig.plugController("KVT318");
    rig.settle(300);
    rig.setLanguage(1);
    MainWindow& window = *rig.program().mainWindow;
    window.findChild<Poller*>()->timer()->stop(); // the feed below stands in for the poll
    qint64 n = 0;

    std::printf("CPU share of one core while 20 live status reports a second arrive (%d s each):\n", seconds);
    // Closed and open in turn, three times, so a change in the machine's load shows as spread.
    QList<double> closed;
    QList<double> open;
    TrendWindow* trendWindow = nullptr;
    for (int round = 0; round < 3; ++round) {
        if (trendWindow)
            trendWindow->close();
        closed << cpuShareAt20PerSecond(window, n, seconds);
        TrendModule::provide(&TrendWindow::create);
        rig.click(QStringLiteral("Trendy1"));
        trendWindow = dynamic_cast<TrendWindow*>(window.trendWindow());
        app.trend = trendWindow;
        trendWindow->resize(1000, 620);
        window.findChild<Poller*>()->timer()->stop();
        chooseSpan(*trendWindow, 0);
        open << cpuShareAt20PerSecond(window, n, seconds);
        std::printf("  closed (Control page only) %5.2f %%, open at 10 s span %5.2f %%: difference %5.2f %%, "
                    "in the trend window's own events %4.2f %%\n",
                    100 * closed.back(), 100 * open.back(), 100 * (open.back() - closed.back()),
                    100 * lastTrendShare);
    }
    std::sort(closed.begin(), closed.end());
    const double baseline = closed[1];
    TrendWindow& trend = *trendWindow;

    const double rssBefore = residentMb();
    QElapsedTimer fill;
    fill.start();
    // Nine simulated hours: one more than the store keeps, so the oldest are dropped too.
    const qint64 hours9 = 9 * 3600 * 20;
    Run& run = trend.run();
    run.restart();
    for (qint64 i = 0; i < hours9; ++i) {
        run.addStatus(statusAt(i), i * SampleNs);
        if (i % 200 == 0) // a command every 10 s
            run.addEvent(
                Event{i * SampleNs, Event::Kind::Command, 131, QByteArray::fromHex("8300002041"), {}});
    }
    const double rssAfter = residentMb();
    std::printf(
        "\nNine simulated hours added in %.1f s: %lld samples kept (%lld dropped), %lld events kept\n",
        double(fill.elapsed()) / 1000, qint64(run.samples().size()), run.samples().droppedCount(),
        qint64(run.events().size()));
    std::printf("  sample store: %.1f MB; process resident memory %.1f MB (grew by %.1f MB)\n",
                double(run.samples().memoryBytes()) / 1048576.0, rssAfter, rssAfter - rssBefore);

    {
        QElapsedTimer t;
        t.start();
        const SampleBuffer& b = run.samples();
        const Columns split = splitColumns(b, b.at(0).timeNs, b.last().timeNs, 800);
        const qint64 splitNs = t.nsecsElapsed();
        qsizetype points = 0;
        for (Channel c : {Channel::Position, Channel::Speed, Channel::Destination, Channel::MotorState})
            points += decimate(b, c, split).size();
        std::printf("\nReduction of the whole run to 800 columns: split %.2f ms, four channels %.2f ms (%lld "
                    "points)\n",
                    double(splitNs) * 1e-6, double(t.nsecsElapsed() - splitNs) * 1e-6, qint64(points));
    }
    std::printf("\nRedraw of the view, median of 21 (reduce + series, then with the repaint):\n");
    for (int span : {0, 2, 3}) {
        chooseSpan(trend, span);
        const auto [draw, paint] = redrawMs(trend, 21);
        std::printf("  %-10s %7.2f ms  %7.2f ms\n", qPrintable(trend.ComboBox_TrendSpan->itemText(span)),
                    draw, paint);
    }

    n = run.samples().size() + run.samples().droppedCount();
    std::printf("\nCPU share with eight hours in store, 20 reports a second:\n");
    for (int span : {0, 3}) {
        chooseSpan(trend, span);
        const double share = cpuShareAt20PerSecond(window, n, seconds);
        std::printf("  %-10s %5.2f %%  (difference %5.2f %%, in the trend window's own events %4.2f %%)\n",
                    qPrintable(trend.ComboBox_TrendSpan->itemText(span)), 100 * share,
                    100 * (share - baseline), 100 * lastTrendShare);
    }
    std::printf("\nResident memory at the end: %.1f MB\n", residentMb());
    return 0;
}
