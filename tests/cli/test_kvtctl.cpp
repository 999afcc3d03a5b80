// SPDX-License-Identifier: GPL-3.0-or-later
// kvtctl end to end: the program started as a process against simulated controllers whose
// memory lives in a temporary state file, its output and exit codes checked as a script would.

#include "KvtctlRun.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>
#include <sys/stat.h>

namespace {

using Result = testing::KvtctlResult;
using testing::Kvtctl;

// A program file of `count` commands, all for device address 0.
QByteArray programFile(int count, int seed) {
    QByteArray bytes;
    for (int i = 0; i < count; ++i) {
        bytes.append('\0');
        for (int b = 0; b < 10; ++b)
            bytes.append(char((seed + i * 31 + b * 7) & 0xFF));
    }
    return bytes;
}

int lineCount(const QByteArray& text) {
    return int(text.count('\n'));
}

} // namespace

class TestKvtctl : public QObject {
    Q_OBJECT
private slots:
    // Read a drive's configuration to a file, edit it, write it: then the file and the drive
    // agree. With a Polish locale the file carries decimal commas, as the window writes them.
    void configurationRoundTrip() {
        Kvtctl k;
        k.setLocale("pl_PL.UTF-8");
        const Result get = k.run({"--lang", "en", "config", "get", "-o", k.path("drive")});
        QCOMPARE(get.exit, 0);
        QVERIFY(get.text().contains(k.path("drive.kvt"))); // the window's rule adds the extension
        QVERIFY(k.read("drive.kvt").startsWith("[KVT-revizareduva ]\r\nversion=1.30\r\n"));
        k.edit("drive.kvt", "DefMaxVel=5,000", "DefMaxVel=12,5");
        k.edit("drive.kvt", "Kp=5", "Kp=42");
        k.edit("drive.kvt", "Microstep=3", "Microstep=5");

        const Result before = k.run({"--lang", "en", "config", "diff", k.path("drive.kvt")});
        QCOMPARE(before.exit, 6);
        QVERIFY(before.text().contains("DefMaxVel: 5 -> 12,5"));
        QVERIFY(before.text().contains("Microstep: 1/16 -> 1/32"));

        const Result set = k.run({"--lang", "en", "config", "set", k.path("drive.kvt")});
        QCOMPARE(set.exit, 0);
        QVERIFY(set.text().contains("Kp: 5 -> 42"));
        QVERIFY(set.err.isEmpty());

        const Result after = k.run({"--json", "config", "diff", k.path("drive.kvt")});
        QCOMPARE(after.exit, 0);
        QCOMPARE(after.documents().size(), 1);
        QCOMPARE(after.documents()[0]["differences"].toArray().size(), 0);
        QVERIFY(after.documents()[0]["ok"].toBool());

        const Result again = k.run({"config", "get"});
        QVERIFY(again.out.contains("DefMaxVel=12,500\r\n") && again.out.contains("Kp=42\r\n"));
    }

    // A value the controller limits is reported as such, and the run fails with the mismatch
    // code; a dry run writes nothing.
    void clampedValueGivesTheMismatchCode() {
        Kvtctl k;
        QCOMPARE(k.run({"config", "get", "-o", k.path("c.kvt")}).exit, 0);
        k.edit("c.kvt", "DefMaxVel=5.000", "DefMaxVel=9000");

        const Result dry = k.run({"config", "set", "--dry-run", k.path("c.kvt")});
        QCOMPARE(dry.exit, 0);
        QVERIFY(dry.text().contains("DefMaxVel: 5 -> 9000"));
        QCOMPARE(k.run({"config", "diff", k.path("c.kvt")}).exit, 6); // nothing was written

        const Result set = k.run({"--json", "config", "set", k.path("c.kvt")});
        QCOMPARE(set.exit, 6);
        const QList<QJsonObject> docs = set.documents();
        QCOMPARE(docs.size(), 1); // one document: what was found, and the failure
        const QJsonArray mismatches = docs[0]["mismatches"].toArray();
        QCOMPARE(mismatches.size(), 1);
        QCOMPARE(mismatches[0]["field"].toString(), QString("DefMaxVel"));
        QCOMPARE(mismatches[0]["kind"].toString(), QString("limited"));
        QCOMPARE(mismatches[0]["held"].toDouble(), 156.25);
        QCOMPARE(docs[0]["exit"].toInt(), 6);
        QVERIFY(docs[0]["error"].toString().contains("DefMaxVel"));
        QCOMPARE(lineCount(set.err), 1);
        QVERIFY(set.error().startsWith("kvtctl: config set: ") && set.error().contains("DefMaxVel"));
    }

    // A file without some entries resets them to the load rules' defaults: said before anything
    // is written.
    void partialFileIsWarnedAbout() {
        Kvtctl k;
        k.write("kp.kvt", "[OTHERconfig]\r\nKp=42\r\n");
        const Result dry = k.run({"config", "set", "--dry-run", k.path("kp.kvt")});
        QCOMPARE(dry.exit, 0);
        QVERIFY2(dry.error().contains("lacks MaxCurrent, RedCurrent,"), dry.err.constData());
        QVERIFY(dry.text().contains("MaxCurrent: 50 % -> 30 %") && dry.text().contains("Kp: 5 -> 42"));

        // Not one entry (another kind of file): refused, nothing written.
        QByteArray noise(200 * 1024, '\0');
        for (qsizetype i = 0; i < noise.size(); ++i)
            noise[i] = char((i * 7919 + (i >> 5)) & 0xFF);
        k.write("noise.kvt", noise);
        const QByteArray held = k.run({"config", "get"}).out;
        const Result set = k.run({"config", "set", k.path("noise.kvt")});
        QCOMPARE(set.exit, 1);
        QVERIFY2(set.error().contains("holds no configuration entry"), set.err.constData());
        QCOMPARE(k.run({"config", "get"}).out, held);
    }

    void programSendThenReadGivesTheSameBytes() {
        Kvtctl k;
        k.write("p.txp", programFile(12, 3));
        const Result send = k.run({"program", "send", k.path("p.txp")});
        QCOMPARE(send.exit, 0);
        QVERIFY(send.text().contains("12 commands"));
        const Result read = k.run({"program", "read", "-o", k.path("back.txp")});
        QCOMPARE(read.exit, 0);
        QCOMPARE(k.read("back.txp"), k.read("p.txp"));

        const QJsonObject listed = k.run({"--json", "program", "read"}).documents().value(0);
        QCOMPARE(listed["commands"].toInt(), 12);
        QCOMPARE(listed["records"].toArray()[1].toString().toLatin1(), k.read("p.txp").mid(12, 10).toHex());
    }

    // The cable pulled in the middle of a transfer: the time-out code, one clear line, and the
    // controller still holds the program it had.
    void unplugMidTransferGivesTheTimeoutCode() {
        Kvtctl k;
        k.write("old.txp", programFile(3, 50));
        QCOMPARE(k.run({"program", "send", k.path("old.txp")}).exit, 0);
        k.write("new.txp", programFile(10, 9));
        const Result cut =
            k.run({"program", "send", k.path("new.txp")}, {"--simulate"}, {{"KVTCTL_SIM_UNPLUG_AFTER", "4"}});
        QCOMPARE(cut.exit, 5);
        QCOMPARE(lineCount(cut.err), 1);
        QVERIFY2(cut.error().contains("vanished while sending the program (3 of 10 commands sent)"),
                 cut.err.constData());
        QVERIFY(cut.error().contains("USB"));

        const Result read = k.run({"program", "read", "-o", k.path("held.txp")});
        QCOMPARE(read.exit, 0);
        QCOMPARE(k.read("held.txp"), k.read("old.txp"));
    }

    void usageAndDeviceErrors_data() {
        QTest::addColumn<QStringList>("simulate");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exit");
        QTest::addColumn<QString>("message");
        const QStringList one{"--simulate"};
        QTest::newRow("no command") << one << QStringList{} << 2 << "no command";
        QTest::newRow("unknown command") << one << QStringList{"frobnicate"} << 2 << "unknown command";
        QTest::newRow("motion needs its flag")
            << one << QStringList{"move", "--to", "1"} << 2 << "--allow-motion";
        QTest::newRow("reset needs --yes") << one << QStringList{"factory-reset"} << 2 << "--yes";
        QTest::newRow("odd register") << one << QStringList{"reg", "get", "R51"} << 2 << "R51";
        QTest::newRow("missing file")
            << one << QStringList{"config", "set", "/nonexistent/x.kvt"} << 1 << "cannot read";
        QTest::newRow("unknown device")
            << one << QStringList{"--device", "nosuch", "status"} << 3 << "nosuch";
        QTest::newRow("several controllers")
            << QStringList{"--simulate=KVT318,PXA-KVT"} << QStringList{"status"} << 3 << "SIM1";
    }
    void usageAndDeviceErrors() {
        QFETCH(QStringList, simulate);
        QFETCH(QStringList, args);
        QFETCH(int, exit);
        QFETCH(QString, message);
        Kvtctl k;
        const Result r = k.run(QStringList{"--json"} + args, simulate);
        QCOMPARE(r.exit, exit);
        QCOMPARE(lineCount(r.err), 1);
        QVERIFY2(r.error().startsWith("kvtctl: ") && r.error().contains(message), r.err.constData());
        QCOMPARE(r.documents().value(0)["exit"].toInt(), exit); // scripts read the error as JSON too
    }

    void severalControllersOneByOne() {
        Kvtctl k;
        const QStringList two{"--simulate=KVT318,KVT317"};
        const Result list = k.run({"--json", "list"}, two);
        QCOMPARE(list.exit, 0);
        const QJsonArray devices = list.documents().value(0)["devices"].toArray();
        QCOMPARE(devices.size(), 2);
        QCOMPARE(devices[1]["product"].toString(), QString("KVT317"));
        // The single the controller reports, in its shortest digits.
        QVERIFY2(list.out.contains(R"("firmware":2.04,)"), list.out.constData());

        QCOMPARE(k.run({"--device", "SIM2", "reg", "set", "R60=2,5"}, two).exit, 0);
        QCOMPARE(k.run({"--device", "SIM1", "reg", "get", "R60"}, two).text(), QString("R60 = 0\n"));
        QCOMPARE(k.run({"--device", "sim:/dev/hidraw1", "reg", "get", "R60"}, two).text(),
                 QString("R60 = 2.5\n"));
    }

    // Every document, result or error, has the same four keys, so a script checks one shape.
    void everyDocumentHasOneShape_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exit");
        QTest::addColumn<QJsonValue>("command");
        QTest::newRow("result") << QStringList{"reg", "get", "R50"} << 0 << QJsonValue("reg get");
        QTest::newRow("version") << QStringList{"--version"} << 0 << QJsonValue("version");
        QTest::newRow("usage error of a command")
            << QStringList{"status", "--bogus"} << 2 << QJsonValue("status");
        QTest::newRow("missing subcommand") << QStringList{"reg", "frob"} << 2 << QJsonValue("reg");
        QTest::newRow("no command") << QStringList{"frobnicate"} << 2 << QJsonValue();
        QTest::newRow("device error")
            << QStringList{"--device", "nosuch", "status"} << 3 << QJsonValue("status");
    }
    void everyDocumentHasOneShape() {
        QFETCH(QStringList, args);
        QFETCH(int, exit);
        QFETCH(QJsonValue, command);
        Kvtctl k;
        const Result r = k.run(QStringList{"--json"} + args);
        QCOMPARE(r.exit, exit);
        QCOMPARE(r.documents().size(), 1);
        const QJsonObject doc = r.documents()[0];
        for (const QString key : {"command", "ok", "exit", "error"})
            QVERIFY2(doc.contains(key), qPrintable(key));
        QCOMPARE(doc["command"], command);
        QCOMPARE(doc["exit"].toInt(), exit);
        QCOMPARE(doc["ok"].toBool(), exit == 0);
        QCOMPARE(doc["error"].isNull(), exit == 0);
        if (args == QStringList{"--version"})
            QCOMPARE("kvtctl " + doc["version"].toString() + "\n", k.run({"--version"}).text());
    }

    // Singles are printed in their shortest digits, in JSON and text alike.
    void singlesInShortestDigits() {
        Kvtctl k;
        const Result set = k.run({"--json", "reg", "set", "R98=0.1", "R96=2.04"});
        QCOMPARE(set.exit, 0);
        QVERIFY2(set.out.contains(R"("value":0.1})") && set.out.contains(R"("value":2.04})"),
                 set.out.constData());
        QCOMPARE(k.run({"reg", "get", "R96", "R98"}).text(), QString("R96 = 2.04\nR98 = 0.1\n"));
        k.setLocale("pl_PL.UTF-8");
        QCOMPARE(k.run({"reg", "get", "R98"}).text(), QString("R98 = 0,1\n"));
    }

    // An input keeps its key (its bit) whatever the model; the model's label stands beside it.
    void inputsKeepTheirKeyAcrossModels() {
        Kvtctl k;
        const QJsonObject kvt318 = k.run({"--json", "status"}, {"--simulate=KVT318"}).documents().value(0);
        const QJsonObject kvt317 = k.run({"--json", "status"}, {"--simulate=KVT317"}).documents().value(0);
        const QJsonObject inputs318 = kvt318["inputs"].toObject();
        const QJsonObject inputs317 = kvt317["inputs"].toObject();
        QCOMPARE(inputs318.keys(), (QStringList{"bit0", "bit1", "bit2", "bit3", "bit4", "bit5"}));
        QCOMPARE(inputs317.keys(), inputs318.keys());
        QCOMPARE(inputs318["bit2"]["label"].toString(), QString("In1"));
        QCOMPARE(inputs317["bit2"]["label"].toString(), QString("EncA"));
        QVERIFY(inputs317["bit2"]["on"].isBool());
        QCOMPARE(kvt318["outputs"]["bit1"]["label"].toString(), QString("Out2"));
        QVERIFY(k.run({"status"}, {"--simulate=KVT317"}).text().contains("bit2 EncA off"));
    }

    // The drive switched on in one run is still on in the next; stop needs no flag.
    void stateCarriesOverAndStopNeedsNoFlag() {
        Kvtctl k;
        QCOMPARE(k.run({"drive", "on", "--allow-motion"}).exit, 0);
        QCOMPARE(k.run({"--json", "status"}).documents().value(0)["motorState"].toInt(), 1);
        const Result stop = k.run({"stop"});
        QCOMPARE(stop.exit, 0);
        QVERIFY(stop.text().startsWith("stop: position 0.000 rev"));
    }

    void messagesFollowTheLanguage() {
        Kvtctl k;
        QVERIFY(k.run({"--lang", "pl", "frobnicate"}).error().contains("nieznane polecenie"));
        // A line that cannot be read is still answered in the language it asks for.
        QVERIFY(k.run({"--lang", "pl", "status", "--bogus"}).error().contains("nieznana opcja --bogus"));
        k.setLocale("pl_PL.UTF-8");
        QVERIFY(k.run({"frobnicate"}).error().contains("nieznane polecenie"));
        QVERIFY(k.run({"--lang", "en", "frobnicate"}).error().contains("unknown command"));
    }

    // Watching prints a document per sample until the process is told to end, then ends well.
    void watchEndsWhenInterrupted() {
        Kvtctl k;
        QProcess p;
        p.start(QStringLiteral(KVTCTL_PATH),
                {"--simulate", "--sim-state", k.path("state.json"), "--json", "status", "--watch", "50ms"});
        QVERIFY(p.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(p.bytesAvailable() > 0 && p.peek(1 << 16).count('\n') >= 3, 10000);
        p.terminate(); // SIGTERM, as Ctrl-C's SIGINT is handled alike
        QVERIFY(p.waitForFinished(5000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 0);
        const QList<QByteArray> lines = p.readAllStandardOutput().trimmed().split('\n');
        QVERIFY(lines.size() >= 3);
        QCOMPARE(QJsonDocument::fromJson(lines.last()).object()["command"].toString(), QString("status"));
        QVERIFY(k.read("state.json").contains("kvt-simulated-controllers/1")); // saved all the same
    }

    // A state path that is no regular file (a pipe would block for ever) is refused at once.
    void stateThatIsNoFileIsRefused() {
        Kvtctl k;
        const QString fifo = k.path("fifo");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QProcess p;
        p.start(QStringLiteral(KVTCTL_PATH), {"--simulate", "--sim-state", fifo, "list"});
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitCode(), 1);
        QVERIFY(p.readAllStandardError().contains("is not a regular file"));
    }
};

QTEST_GUILESS_MAIN(TestKvtctl)
#include "test_kvtctl.moc"
