// SPDX-License-Identifier: GPL-3.0-or-later
// The trend window driven through the whole application on the simulated controller.
#include "CsvParse.h"
#include "TrendRig.h"
#include "control/core/LiveStatus.h"
#include "format/core/NumberFormat.h"
#include "trend/TrendChart.h"
#include "trend/core/Decimation.h"

#include <QDir>
#include <QImage>
#include <QLineSeries>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QValueAxis>

using namespace testing;
using namespace kvt;
using namespace kvt::trend;

namespace {

// The values of one channel, in the order they arrived.
QList<double> values(const SampleBuffer& samples, Channel channel) {
    QList<double> v;
    for (qsizetype i = 0; i < samples.size(); ++i)
        v << samples.value(i, channel);
    return v;
}

// A run of equal values counted once: the steps of a stepwise signal.
QList<int> steps(const QList<double>& v) {
    QList<int> s;
    for (double x : v)
        if (s.isEmpty() || s.back() != int(x))
            s << int(x);
    return s;
}

QList<int> commandCodes(const EventList& events) {
    QList<int> codes;
    for (qsizetype i = 0; i < events.size(); ++i)
        if (events.at(i).kind == Event::Kind::Command)
            codes << events.at(i).code;
    return codes;
}

// Starts a recording to `path` as the user does: the button, then the file dialog.
void startRecording(rig::AppRig& rig, TrendWindow* trend, const QString& path) {
    rig.answerFile(path);
    trend->btn_TrendRecord->click();
    rig.settle();
}

// The message boxes shown, without the file dialogs.
QList<rig::Dialog> boxes(rig::AppRig& rig) {
    QList<rig::Dialog> shown;
    for (const rig::Dialog& d : rig.dialogs())
        if (d.kind != QStringLiteral("save") && d.kind != QStringLiteral("open"))
            shown << d;
    return shown;
}

// The rows of a recording that hold samples (the event column empty), and those of events.
QList<QStringList> sampleRows(const QList<QStringList>& rows) {
    QList<QStringList> result;
    for (qsizetype i = 1; i < rows.size(); ++i)
        if (rows[i].back().isEmpty())
            result << rows[i];
    return result;
}
QStringList eventTexts(const QList<QStringList>& rows) {
    QStringList result;
    for (qsizetype i = 1; i < rows.size(); ++i)
        if (!rows[i].back().isEmpty())
            result << rows[i].back();
    return result;
}

// The position column as Python's csv module reads the file, when Python is there.
std::optional<QStringList> positionsReadByPython(const QString& path) {
    if (QStandardPaths::findExecutable(QStringLiteral("python3")).isEmpty())
        return std::nullopt;
    const char* script = "import csv, sys\n"
                         "rows = list(csv.reader(open(sys.argv[1], newline='', encoding='utf-8')))\n"
                         "assert all(len(r) == len(rows[0]) for r in rows)\n"
                         "for r in rows[1:]:\n"
                         "    if r[-1] == '': print(float(r[2]))\n";
    QProcess python;
    python.start(QStringLiteral("python3"), {QStringLiteral("-c"), QString::fromLatin1(script), path});
    if (!python.waitForFinished(30000) || python.exitCode() != 0)
        return QStringList{QStringLiteral("python failed: ") +
                           QString::fromUtf8(python.readAllStandardError())};
    return QString::fromUtf8(python.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

class TestTrendWindow : public QObject {
    Q_OBJECT
private slots:
    // Every test starts from the window's defaults.
    void init() { QSettings(QStringLiteral("kvt-revizareduva"), QStringLiteral("trend")).clear(); }

    // The move a technician makes first: the trend shows the speed trapezoid, the position ramp,
    // the motor state's steps and a mark for every command.
    void followsADriveThereAndBack() {
        rig::AppRig rig;
        rig.plugController("KVT318");
        rig.settle(250);
        TrendWindow* trend = openTrends(rig);
        QVERIFY(trend && trend->isVisible() && trend->isSampling());
        choose(trend->ComboBox_TrendSpan, 3);
        driveThereAndBack(rig, [&](int ms) { runPolled(rig, ms); });
        const SampleBuffer& samples = trend->run().samples();
        QVERIFY(samples.size() > 90);

        const QList<double> position = values(samples, Channel::Position);
        const QList<double> speed = values(samples, Channel::Speed);
        const qsizetype top = std::max_element(position.begin(), position.end()) - position.begin();
        QVERIFY(qAbs(position[top] - 10) < 1e-4);
        QVERIFY(qAbs(position.back()) < 1e-4);
        // The ramp: up without a step back to 10, then down to 0.
        QVERIFY(std::is_sorted(position.begin(), position.begin() + top + 1));
        QVERIFY(std::is_sorted(position.begin() + top, position.end(), std::greater<>()));
        // The trapezoid: a rising flank, a plateau at the working speed and a falling flank, on
        // the way there, and the same mirrored on the way back.
        auto flanks = [&](double sign, qsizetype from, qsizetype to) {
            int rising = 0, plateau = 0, falling = 0;
            for (qsizetype i = from + 1; i < to; ++i) {
                const double v = sign * speed[i], before = sign * speed[i - 1];
                if (qAbs(v - 10) < 1e-3)
                    ++plateau;
                else if (v > 0.4 && v > before && plateau == 0)
                    ++rising;
                else if (v > 0.4 && v < before && plateau > 0)
                    ++falling;
            }
            return QList<int>{rising, plateau, falling};
        };
        const QList<int> there = flanks(1, 0, top);
        const QList<int> back = flanks(-1, top, position.size());
        for (const QList<int>& f : {there, back}) {
            QVERIFY2(f[0] >= 5 && f[1] >= 5 && f[2] >= 5,
                     qPrintable(
                         QStringLiteral("rising %1, plateau %2, falling %3").arg(f[0]).arg(f[1]).arg(f[2])));
        }
        // Off, on, positioning, reached, positioning, reached (a stop at rest changes nothing).
        QCOMPARE(steps(values(samples, Channel::MotorState)), (QList<int>{0, 1, 3, 4, 3, 4}));

        // Marks: the motion parameters, drive on, the two moves and the stop, and nothing of the
        // polls or the connection's requests.
        QCOMPARE(commandCodes(trend->run().events()), (QList<int>{224, 151, 131, 131, 157}));
        trend->refresh();
        QCOMPARE(
            trend->chart()->markTexts(),
            (QStringList{QStringLiteral("parametry ruchu v 10, a 20"), QStringLiteral("napęd wł."),
                         QStringLiteral("jedź do 10"), QStringLiteral("jedź do 0"), QStringLiteral("stop")}));
        // What is drawn: the whole run, both scales fitted to what they show.
        // The lines drawn keep the extremes, however the samples were reduced to columns.
        auto extremes = [&](Channel c) {
            const QList<QPointF>& p = trend->chart()->points(c);
            if (p.isEmpty())
                return std::pair<double, double>{};
            auto [low, high] = std::minmax_element(
                p.begin(), p.end(), [](const QPointF& a, const QPointF& b) { return a.y() < b.y(); });
            return std::pair<double, double>{low->y(), high->y()};
        };
        QCOMPARE(extremes(Channel::Position), (std::pair<double, double>{0, 10}));
        QCOMPARE(extremes(Channel::Speed), (std::pair<double, double>{-10, 10}));
        QVERIFY(trend->chart()->positionAxis()->max() >= 10 && trend->chart()->positionAxis()->min() <= 0);
        QVERIFY(trend->chart()->speedAxis()->max() >= 10 && trend->chart()->speedAxis()->min() <= -10);
        QCOMPARE(trend->chart()->positionAxis()->titleText(), QStringLiteral("Pozycja [obr.]"));
        // Time ticks at round seconds: every second over a span of 10 s.
        choose(trend->ComboBox_TrendSpan, 0);
        QCOMPARE(trend->chart()->timeAxis()->tickInterval(), 1.0);
        QCOMPARE(trend->chart()->timeAxis()->max() - trend->chart()->timeAxis()->min(), 10.0);
    }

    // A recording of the same run is a table csv readers take, whose position column holds what
    // the Control page showed at the same instants, and whose events are the commands.
    void recordsWhatTheControlPageShows() {
        rig::AppRig rig;
        rig.plugController("KVT318");
        rig.settle(250);
        TrendWindow* trend = openTrends(rig);
        QVERIFY(trend);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("run.csv"));
        startRecording(rig, trend, path);
        QVERIFY(trend->run().recorder().isRecording());
        QCOMPARE(trend->btn_TrendRecord->text(), QStringLiteral("Zatrzymaj nagrywanie"));
        QVERIFY(!trend->btn_TrendClear->isEnabled());
        // Samples that arrived while the start settled are in the file already.
        const qsizetype first = trend->run().samples().size() - trend->run().recorder().rowsWritten();
        QList<QPair<qsizetype, QString>> shown; // sample row, Text_Xact at that instant
        driveThereAndBack(rig, [&](int ms) {
            for (int t = 0; t < ms; t += 50) {
                runPolled(rig, 50);
                shown.append({trend->run().samples().size() - 1 - first, rig.text("Text_Xact")});
            }
        });
        trend->btn_TrendRecord->click();
        rig.settle();
        QVERIFY(!trend->run().recorder().isRecording());
        QCOMPARE(trend->btn_TrendRecord->text(), QStringLiteral("Nagrywaj do pliku..."));

        const std::optional<QList<QStringList>> rows = readCsv(path);
        QVERIFY(rows);
        QCOMPARE(rows->at(0).at(2), QStringLiteral("position [obr.]"));
        for (const QStringList& row : *rows)
            QCOMPARE(row.size(), 22);
        const QList<QStringList> samples = sampleRows(*rows);
        QCOMPARE(samples.size(), trend->run().samples().size() - first);
        QVERIFY(shown.size() > 90);
        for (const auto& [row, text] : shown) {
            bool ok = false;
            const float position = samples[row][2].toFloat(&ok);
            QVERIFY(ok);
            QCOMPARE(control::positionText(position, 3, fmt::Separators::current()), text);
        }
        QCOMPARE(eventTexts(*rows), (QStringList{QStringLiteral("motion parameters v 10, a 20"),
                                                 QStringLiteral("drive on"), QStringLiteral("go to 10"),
                                                 QStringLiteral("go to 0"), QStringLiteral("stop")}));
        if (const std::optional<QStringList> python = positionsReadByPython(path)) {
            QCOMPARE(python->size(), samples.size());
            for (qsizetype i = 0; i < samples.size(); ++i)
                QCOMPARE(python->at(i).toDouble(), samples[i][2].toDouble());
        }
    }

    // Unplugged during a recording: the file is a whole table ending with the event at once,
    // and the recording goes on when the controller is back.
    void unplugDuringARecording() {
        rig::AppRig rig;
        const int id = rig.plugController("KVT318");
        rig.settle(250);
        TrendWindow* trend = openTrends(rig);
        QVERIFY(trend);
        choose(trend->ComboBox_TrendPeriod, 2);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("unplug.csv"));
        startRecording(rig, trend, path);
        rig.settle(400);
        const qsizetype before = trend->run().samples().size();
        QVERIFY(before >= 2);
        rig.unplug(id);
        rig.settle(700); // rows reach the file within the flush period
        std::optional<QList<QStringList>> rows = readCsv(path);
        QVERIFY(rows);
        QCOMPARE(rows->back().back(), QStringLiteral("disconnected"));
        QVERIFY(sampleRows(*rows).size() >= 2);
        QVERIFY(trend->run().recorder().isRecording());

        rig.replug(id);
        rig.settle(600);
        QVERIFY(trend->run().samples().size() > before + 3);
        trend->btn_TrendRecord->click();
        rig.settle();
        rows = readCsv(path);
        QVERIFY(rows);
        const QStringList events = eventTexts(*rows);
        QCOMPARE(events, (QStringList{QStringLiteral("disconnected"), QStringLiteral("connected")}));
        qsizetype connectedAt = 0;
        for (qsizetype i = 0; i < rows->size(); ++i)
            if (rows->at(i).back() == QStringLiteral("connected"))
                connectedAt = i;
        QVERIFY(rows->size() - connectedAt > 3); // samples after the controller returned
        // The seconds column goes on from the recording's start, never back.
        double last = -1;
        for (qsizetype i = 1; i < rows->size(); ++i) {
            const double seconds = rows->at(i).at(1).toDouble();
            QVERIFY(seconds >= last);
            last = seconds;
        }
    }

    // A full disk or a removed folder ends the recording with a box naming the file; the trend
    // itself goes on.
    void aFailedWriteEndsTheRecording() {
        rig::AppRig rig;
        rig.plugController("KVT318");
        rig.settle(250);
        TrendWindow* trend = openTrends(rig);
        QVERIFY(trend);
        if (QFile::exists(QStringLiteral("/dev/full"))) {
            startRecording(rig, trend, QStringLiteral("/dev/full"));
            QVERIFY(!trend->run().recorder().isRecording());
            QCOMPARE(boxes(rig).size(), 1);
            QCOMPARE(boxes(rig)[0].kind, QStringLiteral("error"));
            QVERIFY(boxes(rig)[0].text.contains(QStringLiteral("/dev/full")));
            rig.clearDialogs();
        }
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("runs"));
        QVERIFY(QDir().mkpath(folder));
        const QString path = folder + QStringLiteral("/run.csv");
        startRecording(rig, trend, path);
        QVERIFY(trend->run().recorder().isRecording());
        runPolled(rig, 300);
        QVERIFY(QDir(folder).removeRecursively());
        rig.settle(700);
        QVERIFY(!trend->run().recorder().isRecording());
        QCOMPARE(boxes(rig).size(), 1);
        QCOMPARE(boxes(rig)[0].kind, QStringLiteral("error"));
        QVERIFY(boxes(rig)[0].text.contains(QDir::toNativeSeparators(path)));
        QCOMPARE(trend->btn_TrendRecord->text(), QStringLiteral("Nagrywaj do pliku..."));
        const qsizetype count = trend->run().samples().size();
        runPolled(rig, 200);
        QVERIFY(trend->run().samples().size() > count);
    }

    // Open, the poll asks for the live status at the chosen period on every page, keeping the
    // shown page's own request at its usual rhythm; closed, the poll is the usual one again.
    void pollsWhileOpenOnly() {
        rig::AppRig rig;
        rig.plugController("KVT318");
        rig.settle(250);
        Poller* p = poller(rig);
        QVERIFY(rig.showPage(3)); // the Program page asks for the run state (31)
        TrendWindow* trend = openTrends(rig);
        QVERIFY(trend);
        choose(trend->ComboBox_TrendPeriod, 2);
        QCOMPARE(p->timer()->interval(), 50);
        p->timer()->stop();
        rig.settle();
        auto polls = [&](int count) {
            rig.clearWritten();
            for (int i = 0; i < count; ++i)
                p->poll();
            rig.settle();
            return codes(rig.written());
        };
        QCOMPARE(polls(8), (QList<int>{97, 31, 97, 97, 97, 97, 31, 97, 97, 97}));
        QVERIFY(rig.showPage(0));
        QCOMPARE(polls(4), (QList<int>{97, 97, 97, 97})); // the Control page's 97 is not doubled
        QVERIFY(rig.showPage(1));
        QCOMPARE(polls(2), (QList<int>{97, 97}));

        trend->close();
        rig.settle();
        QVERIFY(!trend->isVisible() && !trend->isSampling());
        QCOMPARE(p->timer()->interval(), 200);
        QVERIFY(!p->overrideCode());
        QCOMPARE(polls(2), QList<int>{});
        QVERIFY(rig.showPage(3));
        QCOMPARE(polls(2), (QList<int>{31, 31}));
        // Closed, the window takes nothing: the Control page's answers are not samples.
        QVERIFY(rig.showPage(0));
        const qsizetype count = trend->run().samples().size();
        QCOMPARE(polls(2), (QList<int>{97, 97}));
        QCOMPARE(trend->run().samples().size(), count);

        // Opened again, it goes on with the same run and the period chosen before.
        QCOMPARE(openTrends(rig), trend);
        QVERIFY(trend->isSampling());
        QCOMPARE(p->timer()->interval(), 50);
        polls(1);
        QCOMPARE(trend->run().samples().size(), count + 1);
    }

    // Closing while recording asks first; no keeps both open, yes ends the recording whole.
    void closingWhileRecordingAsks() {
        rig::AppRig rig;
        rig.plugController("KVT318");
        rig.settle(250);
        TrendWindow* trend = openTrends(rig);
        QVERIFY(trend);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("close.csv"));
        startRecording(rig, trend, path);
        const qint64 settled = trend->run().recorder().rowsWritten(); // arrived while the start settled
        runPolled(rig, 200);
        rig.answer(false);
        trend->close();
        rig.settle();
        QCOMPARE(boxes(rig).size(), 1);
        QCOMPARE(boxes(rig)[0].kind, QStringLiteral("question"));
        QVERIFY(trend->isVisible() && trend->run().recorder().isRecording());
        rig.answer(true);
        trend->close();
        rig.settle();
        QVERIFY(!trend->isVisible() && !trend->isSampling());
        QVERIFY(!trend->run().recorder().isRecording());
        const std::optional<QList<QStringList>> rows = readCsv(path);
        QVERIFY(rows);
        QCOMPARE(sampleRows(*rows).size(), 4 + settled);
    }

    // The view: zooming with the mouse and back, the cursor reading every line shown, pausing,
    // and axis titles that follow the unit selection and the language.
    void viewAndReadings() {
        rig::AppRig rig;
        rig.plugController("KVT318");
        rig.settle(250);
        TrendWindow* trend = openTrends(rig);
        QVERIFY(trend);
        driveThereAndBack(rig, [&](int ms) { runPolled(rig, ms); });
        choose(trend->ComboBox_TrendSpan, 3);
        TrendChart* chart = trend->chart();
        const TimeRange whole = chart->shownRange();
        QVERIFY(!trend->btn_TrendBack->isEnabled());

        const QRectF area = chart->chart()->plotArea();
        auto at = [&](double share) {
            return chart->mapFromScene(
                chart->chart()->mapToScene(QPointF(area.left() + area.width() * share, area.center().y())));
        };
        QWidget* plot = chart->viewport();
        QTest::mousePress(plot, Qt::LeftButton, {}, at(0.4));
        QTest::mouseMove(plot, at(0.5));
        QTest::mouseRelease(plot, Qt::LeftButton, {}, at(0.6));
        const TimeRange zoomed = chart->shownRange();
        const qint64 span = whole.toNs - whole.fromNs;
        const qint64 pixel = span / qint64(area.width()) + 1;
        QVERIFY(qAbs(zoomed.fromNs - (whole.fromNs + span * 4 / 10)) <= pixel);
        QVERIFY(qAbs(zoomed.toNs - (whole.fromNs + span * 6 / 10)) <= pixel);
        QVERIFY(trend->btn_TrendBack->isEnabled());
        // A zoomed view stays where it is while samples keep arriving.
        runPolled(rig, 200);
        trend->refresh();
        QCOMPARE(chart->shownRange(), zoomed);

        // The cursor reads every line shown at the sample that had arrived by then.
        QTest::mouseMove(plot, at(0.5));
        QVERIFY(chart->cursorTime());
        const SampleBuffer& samples = trend->run().samples();
        const control::LiveStatus& s = samples.at(samples.upperBound(*chart->cursorTime()) - 1).status;
        const QString reading = trend->Label_TrendCursor->text();
        QVERIFY2(reading.startsWith(QStringLiteral("Kursor ")), qPrintable(reading));
        const fmt::Separators separators = fmt::Separators::current();
        for (const QString& part :
             {QStringLiteral("Pozycja aktualna: ") + control::positionText(s.position, 3, separators),
              QStringLiteral("Prędkość aktualna: ") + control::positionText(s.speed, 3, separators),
              QStringLiteral("Pozycja docelowa: ") + control::positionText(s.destination, 3, separators),
              QStringLiteral("Stan napędu: %1 (").arg(s.motorState)})
            QVERIFY2(reading.contains(part), qPrintable(reading + QStringLiteral(" lacks ") + part));
        QVERIFY(!reading.contains(QStringLiteral("Temperatura")));

        // Back (the right button) to the whole run, which has grown meanwhile.
        const qint64 second = 1'000'000'000;
        trend->run().addStatus(s, whole.toNs + 5 * second);
        QTest::mouseClick(plot, Qt::RightButton, {}, at(0.5));
        QVERIFY(chart->shownRange().toNs > whole.toNs);
        QCOMPARE(chart->shownRange().fromNs, whole.fromNs);
        QVERIFY(!trend->btn_TrendBack->isEnabled());

        // Paused, the view stays; resumed, it follows again.
        trend->btn_TrendPause->click();
        QCOMPARE(trend->btn_TrendPause->text(), QStringLiteral("Wznów"));
        const TimeRange paused = chart->shownRange();
        trend->run().addStatus(s, paused.toNs + 5 * second);
        trend->refresh();
        QCOMPARE(chart->shownRange(), paused);
        trend->btn_TrendPause->click();
        QVERIFY(chart->shownRange().toNs > paused.toNs);

        // A line switched off is neither drawn nor read.
        trend->cb_TrendChannel[channelIndex(Channel::Speed)]->click();
        QVERIFY(chart->points(Channel::Speed).isEmpty());
        QVERIFY(!trend->Label_TrendCursor->text().contains(QStringLiteral("Prędkość aktualna")));

        // The unit chosen on the Configuration page names the scales and is marked.
        QVERIFY(rig.showPage(1));
        QVERIFY(rig.choose("ComboBox_Units", 1));
        QCOMPARE(chart->positionAxis()->titleText(), QStringLiteral("Pozycja [mm]"));
        QCOMPARE(chart->speedAxis()->titleText(), QStringLiteral("Prędkość [mm/s]"));
        const EventList& events = trend->run().events();
        QCOMPARE(eventText(events.at(events.size() - 1)), QStringLiteral("unit mm"));

        QVERIFY(rig.setLanguage(1));
        QCOMPARE(trend->windowTitle(), QStringLiteral("Trends"));
        QCOMPARE(trend->btn_TrendRecord->text(), QStringLiteral("Record to file..."));
        QCOMPARE(chart->positionAxis()->titleText(), QStringLiteral("Position [mm]"));
        QCOMPARE(trend->ComboBox_TrendSpan->itemText(3), QStringLiteral("whole run"));
        QVERIFY(chart->markTexts().contains(QStringLiteral("drive on")));
    }

    // The view saved as a picture and as a table of what it shows; a cancelled dialog writes
    // nothing.
    void savesTheView() {
        rig::AppRig rig;
        rig.plugController("KVT318");
        rig.settle(250);
        TrendWindow* trend = openTrends(rig);
        QVERIFY(trend);
        driveThereAndBack(rig, [&](int ms) { runPolled(rig, ms); });
        choose(trend->ComboBox_TrendSpan, 3);
        QTemporaryDir dir;
        const QString picture = dir.filePath(QStringLiteral("view.png"));
        rig.answerFile(picture);
        trend->btn_TrendPng->click();
        rig.settle();
        const QImage image(picture);
        QCOMPARE(image.size(), trend->chart()->size());

        const QString table = dir.filePath(QStringLiteral("view.csv"));
        rig.answerFile(table);
        trend->btn_TrendCsv->click();
        rig.settle();
        const std::optional<QList<QStringList>> rows = readCsv(table);
        QVERIFY(rows);
        const TimeRange shown = trend->chart()->shownRange();
        const SampleBuffer& samples = trend->run().samples();
        QCOMPARE(sampleRows(*rows).size(), samples.upperBound(shown.toNs) - samples.lowerBound(shown.fromNs));
        QCOMPARE(eventTexts(*rows).size(), 5);
        // Its seconds are those of the time axis.
        QCOMPARE(sampleRows(*rows).front().at(1).toDouble(),
                 std::round(secondsOf(samples.at(samples.lowerBound(shown.fromNs)).timeNs) * 1000) / 1000);

        rig.clearDialogs();
        rig.answerFile(QString());
        trend->btn_TrendCsv->click();
        rig.settle();
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2);
        QVERIFY2(boxes(rig).isEmpty(), qPrintable(boxes(rig).value(0).text));
    }

    // The window keeps its size and the user's choices from one run of the program to the next.
    void remembersChoices() {
        {
            rig::AppRig rig;
            TrendWindow* trend = openTrends(rig);
            QVERIFY(trend);
            trend->resize(877, 655);
            choose(trend->ComboBox_TrendSpan, 2);
            choose(trend->ComboBox_TrendPeriod, 1);
            trend->cb_TrendChannel[channelIndex(Channel::Speed)]->click();
            trend->cb_TrendChannel[channelIndex(Channel::Home1)]->click();
            trend->close();
            rig.settle();
        }
        rig::AppRig rig;
        TrendWindow* trend = openTrends(rig);
        QVERIFY(trend);
        QCOMPARE(trend->size(), QSize(877, 655));
        QCOMPARE(trend->ComboBox_TrendSpan->currentIndex(), 2);
        QCOMPARE(trend->view().span(), Viewport::Span::TenMinutes);
        QCOMPARE(trend->periodMs(), 100);
        QVERIFY(!trend->chart()->isChannelVisible(Channel::Speed));
        QVERIFY(trend->chart()->isChannelVisible(Channel::Home1));
        QVERIFY(trend->cb_TrendChannel[channelIndex(Channel::Home1)]->isChecked());
        QVERIFY(trend->chart()->isChannelVisible(Channel::Position));
    }
};

int main(int argc, char** argv) {
    // The window's remembered choices go to a folder of the test's own.
    QTemporaryDir configHome;
    qputenv("XDG_CONFIG_HOME", configHome.path().toUtf8());
    return runInBothLocales<TestTrendWindow>(argc, argv);
}
#include "test_trend_window.moc"
