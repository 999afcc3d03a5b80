// SPDX-License-Identifier: GPL-3.0-or-later
// kvtctl report end to end against a simulated controller whose settings and program were
// changed first: the JSON agrees field by field with config get, the HTML and the PDF (read back
// with pdftotext) carry the same values in either language, and a controller pulled out in the
// middle of reading leaves no file behind.

#include "KvtctlRun.h"

#include <QCryptographicHash>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>
#include <QXmlStreamReader>

namespace {

using Result = testing::KvtctlResult;
using testing::Kvtctl;

// The th/td pairs of every table row of the report's HTML, which must parse as XML.
QMap<QString, QString> htmlRows(const QByteArray& html, QString* error) {
    QMap<QString, QString> rows;
    QXmlStreamReader xml(html);
    QString header;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("th"))
            header = xml.readElementText(QXmlStreamReader::IncludeChildElements);
        else if (xml.name() == QLatin1String("td"))
            rows.insert(header, xml.readElementText(QXmlStreamReader::IncludeChildElements));
    }
    if (xml.hasError())
        *error = xml.errorString();
    return rows;
}

} // namespace

class TestKvtctlReport : public QObject {
    Q_OBJECT
private:
    // A controller set up as a technician would leave it: edited settings and a five-command
    // program.
    void commission(const Kvtctl& k) {
        QCOMPARE(k.run({"config", "get", "-o", k.path("drive.kvt")}).exit, 0);
        QByteArray config = k.read("drive.kvt");
        QVERIFY(config.contains("DefMaxVel=5.000"));
        config.replace("DefMaxVel=5.000", "DefMaxVel=12.345").replace("Kp=5", "Kp=42");
        k.write("drive.kvt", config);
        QCOMPARE(k.run({"config", "set", k.path("drive.kvt")}).exit, 0);
        QByteArray program;
        for (int i = 0; i < 5; ++i) {
            program.append('\0');
            for (int b = 0; b < 10; ++b)
                program.append(char((i * 31 + b * 7 + 3) & 0xFF));
        }
        k.write("five.txp", program);
        QCOMPARE(k.run({"program", "send", k.path("five.txp")}).exit, 0);
    }

private slots:
    void jsonAgreesWithTheController() {
        Kvtctl k;
        commission(k);
        const Result report = k.run({"--json", "report", "-o", k.path("r.json"), "--operator", "Łukasz Żółć",
                                     "--site", "Hala 2", "--notes", "po wymianie silnika"});
        QCOMPARE(report.exit, 0);
        QCOMPARE(report.lastDocument().value("file").toString(), k.path("r.json"));
        const QJsonObject json = QJsonDocument::fromJson(k.read("r.json")).object();
        QCOMPARE(json.value("operator").toString(), QString("Łukasz Żółć"));
        QCOMPARE(json.value("controller").toObject().value("model").toString(), QString("KVT318"));

        const Result get = k.run({"--json", "config", "get"});
        const QJsonObject held = get.lastDocument().value("record").toObject();
        const QJsonObject record = json.value("configuration").toObject().value("record").toObject();
        QCOMPARE(record.keys(), held.keys());
        for (const QString& key : held.keys())
            QVERIFY2(record.value(key) == held.value(key), qPrintable(key));
        QCOMPARE(float(record.value("DefMaxVel").toDouble()), 12.345f);
        QCOMPARE(record.value("Kp").toInt(), 42);
        const QJsonObject modbus = json.value("modbus").toObject();
        QCOMPARE(modbus.value("address").toInt(), held.value("Address").toInt());

        // The digest is that of the records sent, without the program file's address bytes.
        QByteArray records;
        const QByteArray file = k.read("five.txp");
        for (int i = 0; i < 5; ++i)
            records.append(file.mid(i * 11 + 1, 10));
        const QJsonObject program = json.value("storedProgram").toObject();
        QCOMPARE(program.value("commands").toInt(), 5);
        QCOMPARE(program.value("sha256").toString(),
                 QString::fromLatin1(QCryptographicHash::hash(records, QCryptographicHash::Sha256).toHex()));
        const Result listing = k.run({"program", "read"});
        const QList<QByteArray> lines = listing.out.trimmed().split('\n');
        QCOMPARE(program.value("firstLine").toString(), QString::fromUtf8(lines.first()).trimmed());
        QCOMPARE(program.value("lastLine").toString(), QString::fromUtf8(lines.last()).trimmed());
        // Nothing read for the report changed the drive.
        QCOMPARE(k.run({"--json", "config", "get"}).lastDocument().value("record").toObject(), held);
    }

    void htmlAndPdfInBothLanguages_data() {
        QTest::addColumn<QString>("lang");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("page");
        QTest::newRow("pl") << "pl" << "Raport uruchomienia" << "12,345" << "Strona 1 z ";
        QTest::newRow("en") << "en" << "Commissioning report" << "12.345" << "Page 1 of ";
    }
    void htmlAndPdfInBothLanguages() {
        QFETCH(QString, lang);
        QFETCH(QString, title);
        QFETCH(QString, value);
        QFETCH(QString, page);
        Kvtctl k;
        commission(k);
        const QStringList text{"--operator", "Łukasz Żółć", "--site", "Zakład Ęą"};
        QCOMPARE(k.run(QStringList{"--lang", lang, "report", "-o", k.path("r.html")} + text).exit, 0);
        QString error;
        const QMap<QString, QString> rows = htmlRows(k.read("r.html"), &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(rows.value("DefMaxVel"), value);
        QCOMPARE(rows.value("Kp"), QString("42"));
        QVERIFY(rows.values().contains("Łukasz Żółć"));
        QVERIFY(!k.read("r.html").contains("src=\"http"));

        const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
        if (pdftotext.isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
        const Result pdf = k.run(QStringList{"--lang", lang, "report", "-o", k.path("r.pdf")} + text);
        QCOMPARE(pdf.exit, 0);
        QVERIFY(k.read("r.pdf").startsWith("%PDF-"));
        QProcess p;
        p.start(pdftotext, {"-layout", k.path("r.pdf"), "-"});
        QVERIFY(p.waitForFinished(30000));
        const QString shown = QString::fromUtf8(p.readAllStandardOutput());
        QVERIFY2(shown.contains(title), qPrintable(shown));
        QVERIFY(shown.contains(page));
        QVERIFY(shown.contains("Łukasz Żółć"));
        QVERIFY(shown.contains("Zakład Ęą"));
        QVERIFY(shown.contains(QRegularExpression("DefMaxVel\\s+" + QRegularExpression::escape(value))));
        QVERIFY(shown.contains(QRegularExpression("Kp\\s+42")));
    }

    // Pulled out while being read: the time-out code, one clear line, and neither a new file nor
    // a temporary one; a report written before stays as it was.
    void unplugMidCollectionLeavesNoFile() {
        Kvtctl k;
        commission(k);
        k.write("r.pdf", "earlier report");
        const QStringList before = k.files();
        for (const char* after : {"1", "2", "4"}) {
            for (const char* name : {"r.pdf", "new.json"}) {
                const Result cut = k.run({"report", "-o", k.path(name)}, {"--simulate"},
                                         {{"KVTCTL_SIM_UNPLUG_AFTER", after}});
                QCOMPARE(cut.exit, 5);
                QCOMPARE(cut.err.count('\n'), 1);
                QVERIFY2(cut.err.contains("vanished while reading"), cut.err.constData());
                QCOMPARE(k.files(), before);
                QCOMPARE(k.read("r.pdf"), QByteArray("earlier report"));
            }
        }
        const Result usage = k.run({"report", "-o", k.path("r.txt")});
        QCOMPARE(usage.exit, 2);
    }
};

QTEST_GUILESS_MAIN(TestKvtctlReport)
#include "test_kvtctl_report.moc"
