// SPDX-License-Identifier: GPL-3.0-or-later
// Trend files: rows, numbers whatever the locale, recording as it happens and its failures,
// export of a stretch, and the events written into them.
#include "FileLimits.h"
#include "link/Bytes.h"
#include "trend/CsvParse.h"
#include "trend/core/CsvExport.h"
#include "trend/core/CsvRecorder.h"

#include <QDir>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/resource.h>
#endif

using namespace kvt;
using namespace kvt::trend;
using testing::parseCsv;
using testing::readCsv;

namespace {

constexpr qint64 Ms = 1'000'000;

QByteArray floatCommand(quint8 code, float value) {
    QByteArray c(5, '\0');
    bytes::putU8(c, 0, code);
    bytes::putF32le(c, 1, value);
    return c;
}

Event command(qint64 timeNs, const QByteArray& bytes) {
    return Event{timeNs, Event::Kind::Command, quint8(bytes[0]), bytes, {}};
}

Sample sample(qint64 timeNs, float position) {
    Sample s;
    s.timeNs = timeNs;
    s.status.position = position;
    s.status.speed = -2.5e-7f;
    s.status.ioFlags = 0x41; // Run and Out1
    s.status.motorState = 3;
    s.status.temperatureRaw = 20;
    s.status.analogMv = 5;
    s.status.supplyMv = 24000;
    s.status.encoderCount = -1200;
    s.status.destination = 10;
    s.status.moveTime = 2.5f;
    s.status.accTime = 0.5f;
    s.status.accDistance = 1.25f;
    return s;
}

const csv::TimeBase Base{1000 * Ms, QDateTime(QDate(2024, 5, 1), QTime(12, 0), QTimeZone(7200))};

QByteArray fileContent(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestTrendFiles : public QObject {
    Q_OBJECT
private slots:
    // The numbers of a file never follow the locale: a Polish one is set throughout.
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland)); }

    // Polls and read requests are no events; commands are named with their arguments, in the
    // locale's form on screen and with a point in files.
    void commandsAsEvents() {
        for (int code : {31, 97, 99, 100, 103, 104, 106, 230, 5})
            QVERIFY2(!isMarkedCommand(QByteArray(1, char(code))), qPrintable(QString::number(code)));
        QVERIFY(!isMarkedCommand(QByteArray()));
        for (int code : {131, 132, 135, 149, 150, 151, 152, 156, 157, 158, 162, 217, 224, 229, 236})
            QVERIFY2(isMarkedCommand(QByteArray(1, char(code))), qPrintable(QString::number(code)));

        const QByteArray goTo = floatCommand(131, 12.5f);
        QCOMPARE(commandArguments(goTo, fmt::Separators::current()), QStringLiteral("12,5"));
        QCOMPARE(eventText(command(0, goTo)), QStringLiteral("go to 12.5"));
        QCOMPARE(eventText(command(0, QByteArray::fromHex("9501"))),
                 QStringLiteral("outputs Out1 1, Out2 0"));
        QCOMPARE(eventText(command(0, QByteArray::fromHex("9622"))),
                 QStringLiteral("inputs Run 0, Stop 1, In1 0, In2 0, Home1 0, Home2 1"));
        // 224: four bytes that carry nothing, then speed 10 and acceleration 20.
        QCOMPARE(eventText(command(0, QByteArray::fromHex("e000000000000020410000a041"))),
                 QStringLiteral("motion parameters v 10, a 20"));
        QCOMPARE(eventText(command(0, QByteArray::fromHex("de0402"))),
                 QStringLiteral("modbus settings address 4, rate 2"));
        QCOMPARE(eventText(command(0, QByteArray(1, char(151)))), QStringLiteral("drive on"));
        QCOMPARE(eventText(Event{0, Event::Kind::Disconnected, 0, {}, {}}), QStringLiteral("disconnected"));
    }

    void eventListBoundsAndOrder() {
        EventList list(3);
        for (int i = 0; i < 5; ++i)
            list.append(Event{(5 - i) * Ms, Event::Kind::Note, 0, {}, QString::number(i)});
        QCOMPARE(list.size(), 3);
        QCOMPARE(list.at(0).note, QStringLiteral("2"));
        // A time before the last event's is taken as the last's: the list stays ordered.
        for (qsizetype i = 0; i < list.size(); ++i)
            QCOMPARE(list.at(i).timeNs, 5 * Ms);
        QCOMPARE(list.lowerBound(5 * Ms), 0);
        QCOMPARE(list.upperBound(5 * Ms), 3);
    }

    // Rows of a sample and of an event, byte for byte.
    void rows() {
        const QByteArray header = csv::header(QStringLiteral("mm"));
        QCOMPARE(header,
                 QByteArray("wall_time,seconds [s],position [mm],speed [mm/s],destination [mm],state,"
                            "temperature [C],analog_input [V],supply [V],encoder [imp],move_time [s],"
                            "acc_time [s],acc_distance [mm],run,stop_in3,in1,in2,home1,home2,out1,out2,"
                            "event\r\n"));
        QCOMPARE(
            csv::sampleRow(sample(1250 * Ms, 1234.5678f), Base),
            QByteArray("2024-05-01T12:00:00.250+02:00,0.250,1234.5677,-2.5e-07,10,3,-5,0.005,24.000,-1200,"
                       "2.5,0.5,1.25,1,0,0,0,0,0,1,0,\r\n"));
        QCOMPARE(
            csv::eventRow(command(3500 * Ms, QByteArray::fromHex("9503")), Base),
            QByteArray(
                "2024-05-01T12:00:02.500+02:00,2.500,,,,,,,,,,,,,,,,,,,,\"outputs Out1 1, Out2 1\"\r\n"));
        QCOMPARE(csv::field(QStringLiteral("say \"hi\"")), QStringLiteral("\"say \"\"hi\"\"\""));
        QCOMPARE(csv::field(QStringLiteral("two\nlines")), QStringLiteral("\"two\nlines\""));
        QCOMPARE(csv::floatText(std::numeric_limits<float>::quiet_NaN()), QStringLiteral("nan"));
        QCOMPARE(csv::millivoltText(4294967295u), QStringLiteral("4294967.295"));
        // Every row has as many fields as the header.
        const auto parsed =
            parseCsv(header + csv::sampleRow(sample(0, 1), Base) +
                     csv::eventRow(Event{0, Event::Kind::Note, 0, {}, QStringLiteral("a,\"b\"")}, Base));
        QVERIFY(parsed);
        for (const QStringList& row : *parsed)
            QCOMPARE(row.size(), 22);
        QCOMPARE(parsed->back().back(), QStringLiteral("a,\"b\""));
    }

    // Rows reach the file once the flush period has passed (or on flush), the header at once.
    void recordingAsItHappens() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("run.csv"));
        CsvRecorder recorder;
        QVERIFY(recorder.start(path, QStringLiteral("obr."), Base));
        QCOMPARE(readCsv(path)->size(), 1);
        QVERIFY(recorder.addSample(sample(1100 * Ms, 1)));
        QVERIFY(recorder.addEvent(Event{1200 * Ms, Event::Kind::Disconnected, 0, {}, {}}));
        QCOMPARE(readCsv(path)->size(), 1);
        QVERIFY(recorder.addSample(sample(1500 * Ms, 2)));
        QCOMPARE(readCsv(path)->size(), 4);
        QVERIFY(recorder.addSample(sample(1600 * Ms, 3)));
        QCOMPARE(readCsv(path)->size(), 4);
        QVERIFY(recorder.flush());
        QCOMPARE(readCsv(path)->size(), 5);
        QVERIFY(recorder.addSample(sample(1700 * Ms, 4)));
        QVERIFY(recorder.stop());
        QVERIFY(!recorder.isRecording());
        const auto rows = readCsv(path);
        QVERIFY(rows);
        QCOMPARE(rows->size(), 6);
        QCOMPARE(rows->at(2).back(), QStringLiteral("disconnected"));
        QCOMPARE(rows->at(5).at(2), QStringLiteral("4"));
        QCOMPARE(recorder.rowsWritten(), 5);
        QVERIFY(!recorder.addSample(sample(1800 * Ms, 5)));
    }

    // A file that cannot be created, a full disk, a folder removed under the recording: each
    // ends it with an error, and what is in the file stays whole rows.
    void recordingFailures() {
        QTemporaryDir dir;
        CsvRecorder recorder;
        QVERIFY(!recorder.start(dir.filePath(QStringLiteral("missing/run.csv")), QStringLiteral("mm"), Base));
        QVERIFY(!recorder.errorString().isEmpty());
        if (QFile::exists(QStringLiteral("/dev/full"))) {
            QVERIFY(!recorder.start(QStringLiteral("/dev/full"), QStringLiteral("mm"), Base));
            QVERIFY(!recorder.isRecording());
            QVERIFY(!recorder.errorString().isEmpty());
        }

        const QString folder = dir.filePath(QStringLiteral("runs"));
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(recorder.start(folder + QStringLiteral("/run.csv"), QStringLiteral("mm"), Base));
        QVERIFY(recorder.addSample(sample(1100 * Ms, 1)));
        QVERIFY(QDir(folder).removeRecursively());
        QVERIFY(!recorder.flush());
        QVERIFY(!recorder.isRecording());
        QVERIFY(recorder.errorString().contains(QStringLiteral("no longer exists")));
        QVERIFY(recorder.start(folder + QStringLiteral("/../again.csv"), QStringLiteral("mm"), Base) ==
                false);
    }

#ifdef Q_OS_LINUX
    // A write cut short (here by a file size limit, as a full disk would) keeps every row that
    // reached the file whole, not half a row, and names the system's reason.
    void partialWriteKeepsWholeRows() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("cut.csv"));
        CsvRecorder recorder;
        QVERIFY(recorder.start(path, QStringLiteral("mm"), Base));
        QVERIFY(recorder.addSample(sample(1100 * Ms, 1)));
        QVERIFY(recorder.flush());
        const QByteArray whole = fileContent(path);
        const QByteArray second = csv::sampleRow(sample(1200 * Ms, 2), Base);
        bool flushed = true;
        {
            testing::FileSizeLimit limit(rlim_t(whole.size() + second.size() + 10));
            recorder.addSample(sample(1200 * Ms, 2));
            recorder.addSample(sample(1300 * Ms, 3));
            recorder.addSample(sample(1400 * Ms, 4));
            flushed = recorder.flush();
        }
        QVERIFY(!flushed);
        QVERIFY(!recorder.isRecording());
        QCOMPARE(fileContent(path), whole + second);
        QCOMPARE(recorder.rowsWritten(), 2);
        QCOMPARE(recorder.errorString(), QString::fromLocal8Bit(std::strerror(EFBIG)));
    }

    // A start that fails leaves no file behind, and an existing file as it was.
    void failedStartLeavesNoFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("run.csv"));
        CsvRecorder recorder;
        {
            testing::FileSizeLimit limit(10);
            QVERIFY(!recorder.start(path, QStringLiteral("mm"), Base));
        }
        QVERIFY(!recorder.isRecording());
        QCOMPARE(recorder.errorString(), QString::fromLocal8Bit(std::strerror(EFBIG)));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());

        testing::ReadOnlyFolder folder;
        if (!folder.ready())
            QSKIP(qPrintable(folder.whyNot()));
        QVERIFY(!recorder.start(folder.filePath(QStringLiteral("run.csv")), QStringLiteral("mm"), Base));
        QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("run.csv"))));
        QVERIFY(!recorder.start(folder.filePath(QStringLiteral("a.bin")), QStringLiteral("mm"), Base));
        QCOMPARE(fileContent(folder.filePath(QStringLiteral("a.bin"))), QByteArray("old contents"));
    }
#endif

    // An export holds the stretch asked for, events before samples of the same instant.
    void exportOfAStretch() {
        SampleBuffer samples;
        EventList events;
        for (int i = 0; i < 10; ++i)
            samples.append(sample((1000 + 100 * i) * Ms, float(i)));
        events.append(Event{1050 * Ms, Event::Kind::Note, 0, {}, QStringLiteral("before")});
        events.append(Event{1250 * Ms, Event::Kind::Note, 0, {}, QStringLiteral("a")});
        events.append(Event{1300 * Ms, Event::Kind::Note, 0, {}, QStringLiteral("b")});
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("view.csv"));
        QString error;
        QVERIFY(exportCsv(path, samples, events, 1200 * Ms, 1500 * Ms, QStringLiteral("cm"), Base, &error));
        const auto rows = readCsv(path);
        QVERIFY(rows);
        QStringList order;
        for (qsizetype i = 1; i < rows->size(); ++i)
            order << (rows->at(i).back().isEmpty() ? rows->at(i).at(2) : rows->at(i).back());
        QCOMPARE(order, (QStringList{"2", "a", "b", "3", "4", "5"}));
        QCOMPARE(rows->at(1).at(1), QStringLiteral("0.200"));
        QVERIFY(!exportCsv(dir.filePath(QStringLiteral("missing/view.csv")), samples, events, 0, 1, QString(),
                           Base, &error));
        QVERIFY(!error.isEmpty());
#ifdef Q_OS_LINUX
        // Cut short (a size limit, as a full disk): the old export stays, the reason is named.
        const QByteArray before = fileContent(path);
        bool exported = true;
        {
            testing::FileSizeLimit limit(rlim_t(before.size() / 2));
            exported = exportCsv(path, samples, events, 0, 2000 * Ms, QStringLiteral("cm"), Base, &error);
        }
        QVERIFY(!exported);
        QCOMPARE(error, QString::fromLocal8Bit(std::strerror(EFBIG)));
        QCOMPARE(fileContent(path), before);
#endif
    }
};

QTEST_GUILESS_MAIN(TestTrendFiles)
#include "test_trend_files.moc"
