// SPDX-License-Identifier: GPL-3.0-or-later
// The trend's sample store, its reduction to plot columns and the choice of what is shown.
#include "trend/core/Decimation.h"
#include "trend/core/Run.h"
#include "trend/core/Viewport.h"

#include <QRandomGenerator>
#include <QTest>
#include <cmath>
#include <limits>

using namespace kvt::trend;

namespace {

constexpr qint64 Ms = 1'000'000;

Sample sampleAt(qint64 timeNs, float position, quint8 io = 0) {
    Sample s;
    s.timeNs = timeNs;
    s.status.position = position;
    s.status.speed = -position;
    s.status.ioFlags = io;
    s.status.temperatureRaw = 20;
    s.status.supplyMv = 24500;
    return s;
}

ValueRange bruteRange(const SampleBuffer& b, Channel c, qsizetype from, qsizetype to) {
    ValueRange r;
    for (qsizetype i = from; i < to; ++i)
        r.include(b.value(i, c));
    return r;
}

} // namespace

class TestTrendSamples : public QObject {
    Q_OBJECT
private slots:
    // Past its capacity the store drops the oldest whole chunks and keeps at least the capacity;
    // ranges over any stretch, across chunk and block edges and after drops, are those of the
    // samples themselves.
    void boundedStoreAndRanges() {
        SampleBuffer b(10000);
        auto* random = QRandomGenerator::global();
        for (int i = 0; i < 30000; ++i)
            b.append(
                sampleAt(i * 50 * Ms, float(random->bounded(2000.0) - 1000), quint8(random->bounded(256))));
        QVERIFY(b.size() >= 10000 && b.size() < 10000 + SampleBuffer::ChunkSize);
        QCOMPARE(b.droppedCount() + b.size(), qint64(30000));
        QCOMPARE(b.at(0).timeNs, b.droppedCount() * 50 * Ms);
        QCOMPARE(b.last().timeNs, qint64(29999) * 50 * Ms);
        QList<std::pair<qsizetype, qsizetype>> stretches;
        // Around the edges of blocks and chunks, where a summary could take a sample too many...
        for (qsizetype from : {0, 1, 15, 16, 17, 255, 256, 4095, 4096, 4097, 8191})
            for (qsizetype length : {0, 1, 2, 15, 16, 17, 255, 256, 257, 4095, 4096, 4097, 5000})
                stretches.append({from, std::min(from + length, b.size())});
        // ... and anywhere.
        for (int round = 0; round < 1000; ++round) {
            const qsizetype from = random->bounded(int(b.size()));
            stretches.append({from, from + random->bounded(int(b.size() - from) + 1)});
        }
        for (const auto& [from, to] : stretches) {
            for (Channel c : {Channel::Position, Channel::Speed, Channel::Out1, Channel::SupplyVoltage}) {
                const ValueRange fast = b.range(c, from, to);
                const ValueRange slow = bruteRange(b, c, from, to);
                QCOMPARE(fast.isEmpty(), slow.isEmpty());
                if (!fast.isEmpty()) {
                    QCOMPARE(fast.min, slow.min);
                    QCOMPARE(fast.max, slow.max);
                }
            }
        }
        b.clear();
        QCOMPARE(b.size(), 0);
        QCOMPARE(b.droppedCount(), 0);
        QVERIFY(b.range(Channel::Position, 0, 10).isEmpty());
    }

    // A sample arriving with an earlier time keeps the order; a garbled reading that is not a
    // number stays in the store but not in any range or line.
    void timesAndGarbledValues() {
        SampleBuffer b;
        b.append(sampleAt(100 * Ms, 1));
        b.append(sampleAt(50 * Ms, std::numeric_limits<float>::quiet_NaN()));
        b.append(sampleAt(150 * Ms, 3));
        QCOMPARE(b.at(1).timeNs, 100 * Ms);
        QCOMPARE(b.lowerBound(100 * Ms), 0);
        QCOMPARE(b.upperBound(100 * Ms), 2);
        const ValueRange r = b.range(Channel::Position, 0, 3);
        QCOMPARE(r.min, 1.0f);
        QCOMPARE(r.max, 3.0f);
        const QList<QPointF> points = decimate(b, Channel::Position, splitColumns(b, 0, 200 * Ms, 100));
        QCOMPARE(points.size(), 2);
        for (const QPointF& p : points)
            QVERIFY(std::isfinite(p.y()));
    }

    // Columns cover every sample of the window once; a sample in a million still shows as a
    // spike; few samples are drawn as they are, with the neighbours outside the window.
    void reductionToColumns() {
        SampleBuffer b(1'000'000);
        for (int i = 0; i < 1'000'000; ++i)
            b.append(sampleAt(i * 50 * Ms, i == 654321 ? 500.0f : float(i % 7)));
        const Columns split = splitColumns(b, 0, b.last().timeNs, 800);
        QCOMPARE(split.count(), 800);
        QCOMPARE(split.bounds.front(), 0);
        QCOMPARE(split.bounds.back(), b.size());
        QVERIFY(std::is_sorted(split.bounds.begin(), split.bounds.end()));
        QCOMPARE(split.before, -1);
        QCOMPARE(split.after, -1);
        const QList<QPointF> points = decimate(b, Channel::Position, split);
        QVERIFY(points.size() <= 2 * 800 + 2);
        double top = 0;
        for (const QPointF& p : points)
            top = std::max(top, p.y());
        QCOMPARE(top, 500.0);

        const Columns narrow = splitColumns(b, 1000 * 50 * Ms, 1003 * 50 * Ms, 800);
        QCOMPARE(narrow.before, 999);
        QCOMPARE(narrow.after, 1004);
        const QList<QPointF> few = decimate(b, Channel::Position, narrow);
        QCOMPARE(few.size(), 6);
        QCOMPARE(few.front(), QPointF(999 * 0.05, 999 % 7));
        QCOMPARE(few.back(), QPointF(1004 * 0.05, 1004 % 7));
    }

    // A column's minimum and maximum go in the order the values went, so a falling ramp is drawn
    // falling.
    void columnsFollowTheDirection() {
        SampleBuffer b;
        for (int i = 0; i < 100; ++i)
            b.append(sampleAt(i * Ms, float(100 - i)));
        const QList<QPointF> points = decimate(b, Channel::Position, splitColumns(b, 0, 99 * Ms, 10));
        for (qsizetype i = 1; i < points.size(); ++i)
            QVERIFY(points[i].y() <= points[i - 1].y());
    }

    void steps() {
        const QList<QPointF> steps = toSteps({{0, 1}, {1, 1}, {2, 3}, {3, 0}});
        QCOMPARE(steps, (QList<QPointF>{{0, 1}, {1, 1}, {2, 1}, {2, 3}, {3, 3}, {3, 0}}));
    }

    // Live, the view follows the newest sample; paused it stays; zooms stack and go back.
    void viewport() {
        const qint64 s = 1'000'000'000;
        Viewport v;
        QCOMPARE(v.range(0, 3 * s), (TimeRange{0, 10 * s}));
        QCOMPARE(v.range(0, 25 * s), (TimeRange{15 * s, 25 * s}));
        v.setSpan(Viewport::Span::OneMinute);
        QCOMPARE(v.range(5 * s, 125 * s), (TimeRange{65 * s, 125 * s}));
        v.setSpan(Viewport::Span::WholeRun);
        QCOMPARE(v.range(5 * s, 125 * s), (TimeRange{5 * s, 125 * s}));
        QCOMPARE(v.range(5 * s, 5 * s), (TimeRange{5 * s, 6 * s}));

        v.pause(TimeRange{10 * s, 20 * s});
        QCOMPARE(v.range(0, 500 * s), (TimeRange{10 * s, 20 * s}));
        v.zoomTo(TimeRange{14 * s, 12 * s});
        QCOMPARE(v.range(0, 500 * s), (TimeRange{12 * s, 14 * s}));
        v.zoomTo(TimeRange{13 * s, 13 * s});
        QCOMPARE(v.range(0, 500 * s).toNs - v.range(0, 500 * s).fromNs, s / 1000);
        QVERIFY(v.back());
        QVERIFY(v.back());
        QVERIFY(!v.back());
        QCOMPARE(v.range(0, 500 * s), (TimeRange{10 * s, 20 * s}));
        QVERIFY(!v.isLive());
        v.resume();
        QVERIFY(v.isLive());
        QCOMPARE(v.range(0, 500 * s), (TimeRange{0, 500 * s}));
        v.zoomTo(TimeRange{1 * s, 2 * s});
        QVERIFY(!v.isLive());
        QVERIFY(v.back());
        QVERIFY(v.isLive());
    }

    // Events of samples that were dropped go with them.
    void runDropsOldEventsWithTheirSamples() {
        Run run(SampleBuffer::ChunkSize);
        Event e;
        e.kind = Event::Kind::Disconnected;
        e.timeNs = 10 * Ms;
        run.addEvent(e);
        e.kind = Event::Kind::Connected;
        e.timeNs = 90'000 * Ms;
        run.addEvent(e);
        for (int i = 0; i < 2 * SampleBuffer::ChunkSize - 1; ++i)
            QVERIFY(run.addStatus(sampleAt(0, 1).status, (i + 1) * 20 * Ms));
        QCOMPARE(run.samples().droppedCount(), 0);
        QCOMPARE(run.events().size(), 2);
        QVERIFY(run.addStatus(sampleAt(0, 1).status, 10'000'000 * Ms));
        QCOMPARE(run.samples().droppedCount(), SampleBuffer::ChunkSize);
        QCOMPARE(run.events().size(), 1);
        QCOMPARE(run.events().at(0).kind, Event::Kind::Connected);
    }
};

QTEST_GUILESS_MAIN(TestTrendSamples)
#include "test_trend_samples.moc"
