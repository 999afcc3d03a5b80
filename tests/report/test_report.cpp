// SPDX-License-Identifier: GPL-3.0-or-later
// The report's own rules: values written without loss in both languages, the program digest,
// the encoder verdict against the stored encoder, the trend thinned to a plot, and the HTML that
// carries what the technician typed without letting it become markup.

#include "encoder/core/EncoderVerdict.h"
#include "report/ReportDocument.h"
#include "report/core/ReportData.h"
#include "trend/core/Run.h"

#include <QCryptographicHash>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QDir>
#include <QTimeZone>
#include <QTest>

using namespace kvt;
using namespace kvt::report;

class TestReport : public QObject {
    Q_OBJECT
private slots:
    // Floats are written as the shortest text that reads back as the single the controller
    // holds: 12.345 stays 12.345 (not 12.3450003), with a comma in Polish.
    void valuesAreExactInBothLanguages() {
        for (const float v : {12.345f, 0.1f, -3.75f, 1e-7f, 123456.78f}) {
            const QString en = exactFloatText(v, Language::English);
            QCOMPARE(en.toFloat(), v);
            QString pl = exactFloatText(v, Language::Polish);
            QVERIFY(!pl.contains(QLatin1Char('.')));
            QCOMPARE(pl.replace(QLatin1Char(','), QLatin1Char('.')), en);
        }
        QCOMPARE(exactFloatText(12.345f, Language::Polish), QStringLiteral("12,345"));

        config::ConfigReport r;
        r.MaxCurrent = qint8(-56); // held as the byte 200
        r.Kp = 42;
        r.DefMaxVel = 12.345f;
        const QList<ConfigValue> values = configValues(r);
        QCOMPARE(values.size(), 22);
        const auto find = [&](const char* name) {
            for (const ConfigValue& v : values)
                if (v.name == QLatin1String(name))
                    return v;
            return ConfigValue{};
        };
        QCOMPARE(find("MaxCurrent").value, 200.0);
        QCOMPARE(exactText(find("Kp"), Language::Polish), QStringLiteral("42"));
        QCOMPARE(exactText(find("DefMaxVel"), Language::English), QStringLiteral("12.345"));
    }

    // The digest covers exactly the program's records, in order; the first and last listing
    // lines are those of the first and last record.
    void programSummary() {
        program::ProgramStore store;
        store.length = 3;
        for (quint32 i = 0; i < 4; ++i)
            store.commands[i].fill(quint8(10 * i + 1));
        QByteArray records;
        for (quint32 i = 0; i < 3; ++i)
            records.append(QByteArray(10, char(10 * i + 1)));
        const ProgramSummary s = summarizeProgram(store);
        QCOMPARE(s.length, 3u);
        QCOMPARE(s.sha256, QCryptographicHash::hash(records, QCryptographicHash::Sha256));
        QCOMPARE(s.firstLine, program::listingLine(store.commands[0]).trimmed());
        QCOMPARE(s.lastLine, program::listingLine(store.commands[2]).trimmed());

        store.length = 0;
        const ProgramSummary empty = summarizeProgram(store);
        QCOMPARE(empty.sha256, QCryptographicHash::hash(QByteArray(), QCryptographicHash::Sha256));
        QVERIFY(empty.firstLine.isEmpty());
    }

    // The verdict is judged against the encoder the controller stores, and only a correct
    // wiring within the tolerance passes.
    void encoderVerdict() {
        config::ConfigReport stored;
        stored.EncoderMode = 1; // incremental
        stored.EncoderResol = 4000;
        const EncoderSummary good = summarizeEncoder({4001, encoder::WiringCorrect}, stored);
        QCOMPARE(good.expected, std::optional<qint32>(4000));
        QVERIFY(good.passed);
        QVERIFY(!summarizeEncoder({3000, encoder::WiringCorrect}, stored).passed);
        QVERIFY(!summarizeEncoder({4000, encoder::ChannelsSwapped}, stored).passed);

        stored.EncoderMode = 2; // absolute, 12 bit
        stored.EncoderResol = 4096;
        const EncoderSummary absolute = summarizeEncoder({4096, encoder::WiringCorrect}, stored);
        QCOMPARE(absolute.expected, std::optional<qint32>(4096));
        QVERIFY(absolute.passed);
    }

    // A long run is thinned to the bound, keeps its first and last sample and its command marks.
    void trendThinning() {
        trend::Run run;
        QVERIFY(!summarizeTrend(run));
        for (int i = 0; i < 5001; ++i) {
            control::LiveStatus s;
            s.position = float(i);
            run.addStatus(s, qint64(i) * 50'000'000);
        }
        trend::Event go;
        go.kind = trend::Event::Kind::Command;
        go.code = 131;
        go.timeNs = 1'000'000'000;
        run.addEvent(go);
        const std::optional<TrendSummary> t = summarizeTrend(run, 1000);
        QVERIFY(t);
        QVERIFY(t->points.size() <= 1001);
        QCOMPARE(t->points.first().position, 0.0);
        QCOMPARE(t->points.last().position, 5000.0);
        QCOMPARE(t->points.last().timeS, 250.0);
        QCOMPARE(t->marks.size(), 1);
        QCOMPARE(t->marks.first().timeS, 1.0);
        QCOMPARE(t->marks.first().name, trend::commandName(131));
    }

    // What the technician typed is shown as text, Polish letters included; a trend plot is
    // inlined, so the HTML file stands alone; sections left out are absent from every format.
    void documents() {
        ReportData d;
        d.operatorName = QStringLiteral("Zażółć <b>gęślą</b> & jaźń");
        d.createdAt = QDateTime(QDate(2026, 3, 1), QTime(10, 0), QTimeZone(3600));
        d.configuration = config::ConfigReport{};
        d.trend = TrendSummary{{{0, 0, 0}, {1, 2, 3}}, {{0.5, QStringLiteral("go to")}}};
        const QString html = QString::fromUtf8(renderReport(d, Language::Polish, Format::Html));
        QVERIFY(html.contains(QStringLiteral("Zażółć &lt;b&gt;gęślą&lt;/b&gt; &amp; jaźń")));
        QVERIFY(html.contains(QStringLiteral("<img src=\"data:image/png;base64,")));
        QVERIFY(html.contains(QStringLiteral("2026-03-01T10:00:00+01:00")));

        d.sections.configuration = false;
        d.sections.trend = false;
        const QJsonObject json = QJsonDocument::fromJson(renderReport(d, Language::English, Format::Json)).object();
        QVERIFY(!json.contains(QStringLiteral("configuration")));
        QVERIFY(!json.contains(QStringLiteral("trend")));
        QCOMPARE(json.value(QStringLiteral("createdAt")).toString(), QStringLiteral("2026-03-01T10:00:00+01:00"));
        const QString leftOut = QString::fromUtf8(renderReport(d, Language::English, Format::Html));
        QVERIFY(!leftOut.contains(QStringLiteral("<img")));
        QVERIFY(!leftOut.contains(QStringLiteral("DefMaxVel")));

        const QByteArray pdf = renderReport(d, Language::English, Format::Pdf);
        QVERIFY(pdf.startsWith("%PDF-"));
    }

    // A name that asks for no known format, or a folder that takes no file, is an error and
    // leaves nothing behind.
    void writeFailures() {
        QTemporaryDir dir;
        ReportData d;
        QVERIFY(writeReport(dir.filePath(QStringLiteral("r.txt")), d, Language::English));
        QVERIFY(writeReport(dir.filePath(QStringLiteral("missing/r.json")), d, Language::English));
        QVERIFY(!writeReport(dir.filePath(QStringLiteral("r.JSON")), d, Language::English));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("r.JSON")});
    }
};

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    TestReport test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_report.moc"
