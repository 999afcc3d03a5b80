// SPDX-License-Identifier: GPL-3.0-or-later
// The RS485 page's decoded view of the frame log: the plain log untouched while it is off,
// decoded lines, filter, bad-CRC counter, language, and capture files saved and opened again.
#include "RigTest.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "assist/Colors.h"
#include "modbus/core/Crc.h"

#include <QComboBox>
#include <QSettings>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextBlock>

using namespace testing;

namespace {

constexpr int Rs485Page = 2;

// Response 87 carrying `hex` followed by its CRC, or by `crc` when given.
QByteArray report(const char* hex, int crc = -1) {
    QByteArray frame = kvt::modbus::withCrc(QByteArray::fromHex(hex));
    if (crc >= 0) {
        frame[frame.size() - 2] = char(crc & 0xFF);
        frame[frame.size() - 1] = char(crc >> 8);
    }
    return bytes({87, int(frame.size())}) + frame;
}

// Traffic of every sort: own and other slaves, requests, answers, an exception, a bad CRC, a
// function the decoder does not know, a frame too short for a CRC.
const QList<QByteArray>& traffic() {
    static const QList<QByteArray> reports{
        report("010300320002"),     report("0103040000 3fc0"), report("010600 3c0007"),
        report("028302"),           report("010300320002", 0x1234), report("0141aa"),
        bytes({87, 2, 1, 3}),       report("0210000100020400 0a0102"), bytes({87, 0, 1, 3}),
    };
    return reports;
}

QStringList logLines(rig::AppRig& rig) {
    const QString text = rig.text("MemoMbusTrans");
    return text.isEmpty() ? QStringList() : text.split('\n');
}

QPlainTextEdit* memo(rig::AppRig& rig) {
    return qobject_cast<QPlainTextEdit*>(rig.widget("MemoMbusTrans"));
}

bool lineMarked(rig::AppRig& rig, int line) {
    const QTextBlock block = memo(rig)->document()->findBlockByNumber(line);
    return block.begin().fragment().charFormat().background().color() == kvt::colors::Error;
}

void connectController(rig::AppRig& rig) {
    rig.plugController("KVT318");
    rig.settle();
    rig.showPage(Rs485Page);
    rig.settle();
}

void injectAll(rig::AppRig& rig) {
    for (const QByteArray& r : traffic())
        rig.inject(r);
    rig.settle();
}

int indexWithData(rig::AppRig& rig, const QString& list, int data) {
    return qobject_cast<QComboBox*>(rig.widget(list))->findData(data);
}

} // namespace

class Rs485DecodedTest : public QObject {
    Q_OBJECT

    QTemporaryDir configHome_;

private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", configHome_.path().toUtf8()); }
    void init() { QSettings("kvt-revizareduva", "rs485").clear(); }

    void offTheLogIsThePlainOne() {
        QString plain;
        {
            rig::AppRig rig;
            connectController(rig);
            QVERIFY(rig.visible("cb_ModbusDecode"));
            QVERIFY(!rig.checked("cb_ModbusDecode"));
            QVERIFY(!rig.visible("Panel_MbusDecode"));
            QVERIFY(!rig.visible("Panel_MbusBadCrc"));
            injectAll(rig);
            plain = rig.text("MemoMbusTrans");
            QCOMPARE(logLines(rig)[0], QString("01  03  00  32  00  02  65  C4    ->>  Odczyt n rejestrow"));
            QCOMPARE(logLines(rig)[3], QString("02  83  02  30  F1    ->>  Niepoprawny adres modbus"));
        }
        // Switched on and off again, the log is the same text, line for line and byte for byte.
        rig::AppRig rig;
        connectController(rig);
        injectAll(rig);
        QVERIFY(rig.click("cb_ModbusDecode"));
        QVERIFY(rig.text("MemoMbusTrans") != plain);
        QVERIFY(rig.click("cb_ModbusDecode"));
        QCOMPARE(rig.text("MemoMbusTrans"), plain);
        QVERIFY(!lineMarked(rig, 3));
        QCOMPARE(rig.text("EditMbusFrameCnt"), QString::number(traffic().size()));
    }

    void decodedLinesFilterAndCounter() {
        rig::AppRig rig;
        connectController(rig);
        QVERIFY(rig.click("cb_ModbusDecode"));
        QVERIFY(rig.visible("Panel_MbusDecode"));
        injectAll(rig);
        const QStringList lines = logLines(rig);
        QCOMPARE(lines.size(), traffic().size());
        QCOMPARE(lines[0], QString("01  03  00  32  00  02  65  C4    ->>  adres 1; 03 Odczyt rejestrów; zapytanie; "
                                   "od 50; liczba 2"));
        // The answer gets the registers of its request and the REAL of the pair 50-51.
        QVERIFY2(lines[1].endsWith(QString("odpowiedź; od 50; bajtów 4; wartości 0 16320; R50-51 = %1")
                                       .arg(QLocale().toString(1.5))),
                 qPrintable(lines[1]));
        QVERIFY(lines[3].endsWith("adres 2; 83 Odczyt rejestrów; wyjątek 02 Niedozwolony adres danych"));
        QVERIFY(lines[4].endsWith("BŁĄD CRC 1234, powinno być C465"));
        QVERIFY(lines[5].endsWith("adres 1; 41 nieznana funkcja 65"));
        QVERIFY(lines[6].endsWith("adres 1; 03 Odczyt rejestrów; błędna długość"));
        QCOMPARE(lines[8], QString("  ->>  błędna długość"));
        QCOMPARE(rig.text("EditMbusBadCrcCnt"), QString("1"));
        QCOMPARE(rig.text("EditMbusFrameCnt"), QString::number(traffic().size()));
        // Exceptions and bad CRCs in the error colour, nothing else.
        QList<int> marked;
        for (int i = 0; i < lines.size(); ++i)
            if (lineMarked(rig, i))
                marked << i;
        QCOMPARE(marked, (QList<int>{3, 4}));

        // Filters: slave 2, then function 16 of every slave; exceptions go with their function.
        QVERIFY(rig.choose("ComboBox_MbusSlave", indexWithData(rig, "ComboBox_MbusSlave", 2)));
        QCOMPARE(logLines(rig).size(), 2);
        QVERIFY(rig.choose("ComboBox_MbusFunction", indexWithData(rig, "ComboBox_MbusFunction", 3)));
        QCOMPARE(logLines(rig).size(), 1);
        QVERIFY(logLines(rig)[0].startsWith("02  83"));
        QVERIFY(rig.choose("ComboBox_MbusSlave", 0));
        rig.inject(report("010300320002")); // frames arriving are filtered as well
        rig.inject(report("010600320001"));
        rig.settle();
        QCOMPARE(logLines(rig).size(), 6); // the five of function 3 before, and the new read
        QCOMPARE(rig.text("EditMbusFrameCnt"), QString::number(traffic().size() + 2));

        // The language switch composes the lines again.
        QVERIFY(rig.setLanguage(1));
        QVERIFY2(logLines(rig)[0].endsWith("slave 1; 03 Read Holding Registers; request; start 50; count 2"),
                 qPrintable(logLines(rig)[0]));
        QCOMPARE(rig.items("ComboBox_MbusFunction").first(), QString("all"));

        // "Wyczysc" empties the log and both counts.
        QVERIFY(rig.click("btn_MbusPrevievClear"));
        QCOMPARE(rig.text("MemoMbusTrans"), QString());
        QCOMPARE(rig.text("EditMbusBadCrcCnt"), QString("0"));
    }

    void theSwitchIsKept() {
        {
            rig::AppRig rig;
            connectController(rig);
            QVERIFY(rig.click("cb_ModbusDecode"));
        }
        rig::AppRig rig;
        connectController(rig);
        QVERIFY(rig.checked("cb_ModbusDecode"));
        QVERIFY(rig.visible("Panel_MbusDecode"));
    }

    void capturesSavedAndOpenedAgain() {
        QTemporaryDir dir;
        rig::AppRig rig;
        connectController(rig);
        QVERIFY(rig.click("cb_ModbusDecode"));
        injectAll(rig);
        const QString shown = rig.text("MemoMbusTrans");
        for (const char* name : {"log.txt", "log.csv", "log.pcap"}) {
            const QString path = dir.filePath(name);
            rig.answerFile(path);
            QVERIFY(rig.click("btn_MbusSaveLog"));
            rig.settle();
            QVERIFY2(QFile::exists(path), name);
            QVERIFY(rig.click("btn_MbusPrevievClear"));
            rig.answerFile(path);
            QVERIFY(rig.click("btn_MbusOpenLog"));
            rig.settle();
            QCOMPARE(rig.text("MemoMbusTrans"), shown);
            QCOMPARE(rig.text("EditMbusFrameCnt"), QString::number(traffic().size()));
            QCOMPARE(rig.text("EditMbusBadCrcCnt"), QString("1"));
        }
        QVERIFY(rig.dialogs().isEmpty() || rig.dialogs().last().kind == "save" ||
                rig.dialogs().last().kind == "open");

        // A file that is not a capture changes nothing and says so; a save that fails says so.
        rig.clearDialogs();
        const QString foreign = dir.filePath("notes.txt");
        QFile file(foreign);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a capture\n");
        file.close();
        rig.answerFile(foreign);
        QVERIFY(rig.click("btn_MbusOpenLog"));
        rig.settle();
        QCOMPARE(rig.text("MemoMbusTrans"), shown);
        QCOMPARE(rig.dialogs().last().kind, QString("error"));
        rig.answerFile(dir.filePath("missing/log.pcap"));
        QVERIFY(rig.click("btn_MbusSaveLog"));
        rig.settle();
        QCOMPARE(rig.dialogs().last().kind, QString("error"));
        QVERIFY(rig.dialogs().last().text.startsWith("Nie można zapisać logu: "));
    }
};

int main(int argc, char** argv) {
    return runInBothLocales<Rs485DecodedTest>(argc, argv);
}
#include "test_rs485_decoded.moc"
