// SPDX-License-Identifier: GPL-3.0-or-later
// Decoding Modbus-RTU frames, and capture files written and read back.
#include "modbus/core/Capture.h"
#include "modbus/core/Crc.h"
#include "modbus/core/FrameDecoder.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace kvt::modbus;

namespace {

// The CRC written out from the protocol's description, independently of the project's table:
// shift right, XOR with A001h when a one falls out.
quint16 referenceCrc(const QByteArray& bytes) {
    quint16 crc = 0xFFFF;
    for (const char c : bytes) {
        crc ^= quint8(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? quint16((crc >> 1) ^ 0xA001) : quint16(crc >> 1);
    }
    return crc;
}

// `hex` (no CRC) as it travels on the bus, with the reference CRC low byte first.
QByteArray frame(const char* hex) {
    QByteArray b = QByteArray::fromHex(hex);
    const quint16 crc = referenceCrc(b);
    b.append(char(crc & 0xFF));
    b.append(char(crc >> 8));
    return b;
}

// Texts as the keys say them, so a description can be checked without the translation store.
DecodeTexts englishTexts() {
    static const QHash<QString, QString> english{
        {"MB_SLAVE", "slave %1"},       {"MB_REQUEST", "request"},   {"MB_RESPONSE", "response"},
        {"MB_EXCEPTION", "exception %1 %2"}, {"MB_START", "start %1"}, {"MB_COUNT", "count %1"},
        {"MB_BYTES", "bytes %1"},       {"MB_VALUES", "values %1"},  {"MB_VALUE", "value %1"},
        {"MB_CRC_ERROR", "CRC ERROR %1, expected %2"}, {"MB_BAD_LENGTH", "wrong length"},
        {"MB_UNKNOWN_FUNCTION", "unknown function %1"}, {"MB_FC_3", "Read Holding Registers"},
        {"MB_FC_16", "Write Multiple Registers"}, {"MB_EX_2", "Illegal Data Address"}};
    return DecodeTexts::fromLookup([](const QString& key) { return english.value(key, key); });
}

} // namespace

class ModbusDecoderTest : public QObject {
    Q_OBJECT

private slots:
    void crcAgreesWithTheProtocolsDescription() {
        // The example frame of the serial-line document, and random frames of every length.
        QCOMPARE(frame("01030000000a"), QByteArray::fromHex("01030000000ac5cd"));
        QCOMPARE(withCrc(QByteArray::fromHex("01030000000a")), frame("01030000000a"));
        auto* random = QRandomGenerator::global();
        for (int i = 0; i < 5000; ++i) {
            QByteArray b(random->bounded(0, 256), '\0');
            for (char& c : b)
                c = char(random->bounded(256));
            QCOMPARE(modbusCrc(b), referenceCrc(b));
            QCOMPARE(modbusCrc(withCrc(b)), quint16(0));
        }
    }

    // The examples of the application protocol document, all for slave 17.
    void examplesOfTheApplicationProtocol() {
        FrameDecoder decoder;
        // Read holding registers 108-110 (addresses 6Bh..6Dh) and the answer 555, 0, 100.
        DecodedFrame read = decoder.decode(frame("1103006b0003"));
        QCOMPARE(read.slave, 17);
        QCOMPARE(read.function, 3);
        QCOMPARE(read.kind, FrameKind::Request);
        QVERIFY(read.crcOk && read.lengthOk);
        QCOMPARE(read.start, 0x6B);
        QCOMPARE(read.count, 3);
        DecodedFrame answer = decoder.decode(frame("110306022b00000064"));
        QCOMPARE(answer.kind, FrameKind::Response);
        QCOMPARE(answer.byteCount, 6);
        QCOMPARE(answer.words, (QList<quint16>{0x022B, 0, 0x64}));
        QCOMPARE(answer.wordsStart, 0x6B); // paired with the request
        QVERIFY(answer.crcOk && answer.lengthOk);

        // Write register 2 (address 1) with 3; the answer repeats the request.
        const DecodedFrame single = decodeFrame(frame("110600010003"));
        QCOMPARE(single.kind, FrameKind::Request);
        QCOMPARE(single.start, 1);
        QCOMPARE(single.words, QList<quint16>{3});

        // Write two registers from address 1 with 000Ah and 0102h, and the answer.
        const DecodedFrame multiple = decodeFrame(frame("1110000100020400 0a0102"));
        QCOMPARE(multiple.kind, FrameKind::Request);
        QCOMPARE(multiple.start, 1);
        QCOMPARE(multiple.count, 2);
        QCOMPARE(multiple.byteCount, 4);
        QCOMPARE(multiple.words, (QList<quint16>{0x000A, 0x0102}));
        QVERIFY(multiple.lengthOk);
        const DecodedFrame written = decodeFrame(frame("111000010002"));
        QCOMPARE(written.kind, FrameKind::Response);
        QCOMPARE(written.count, 2);

        // Exception to a read of holding registers: illegal data address.
        const DecodedFrame exception = decodeFrame(frame("118302"));
        QCOMPARE(exception.kind, FrameKind::Exception);
        QCOMPARE(exception.baseFunction(), 3);
        QCOMPARE(exception.exceptionCode, 2);
        QVERIFY(exception.lengthOk && exception.crcOk);
        QCOMPARE(describe(exception, englishTexts(), RegisterView::Real),
                 QString("slave 17; 83 Read Holding Registers; exception 02 Illegal Data Address"));
    }

    void badCrcIsKeptAndMarked() {
        QByteArray bytes = frame("1103006b0003");
        bytes[bytes.size() - 1] = char(bytes[bytes.size() - 1] ^ 0x01);
        const DecodedFrame f = decodeFrame(bytes);
        QVERIFY(f.crcError());
        QCOMPARE(f.start, 0x6B); // still decoded
        QCOMPARE(f.crcExpected, referenceCrc(bytes.left(6)));
        // The protocol document's example frame carries 76 87; the last byte was changed.
        QCOMPARE(describe(f, englishTexts(), RegisterView::Real),
                 QString("slave 17; 03 Read Holding Registers; request; start 107; count 3; "
                         "CRC ERROR 8676, expected 8776"));
    }

    void lengthsEachFunctionCanHave_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("lengthOk");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("count");
        const auto row = [](const char* name, const QByteArray& b, FrameKind k, bool ok, int start = -1,
                            int count = -1) { QTest::newRow(name) << b << int(k) << ok << start << count; };
        using K = FrameKind;
        row("1 request", frame("0101001300 13"), K::Request, true, 0x13, 0x13);
        row("1 response", frame("010103cd6b05"), K::Request, true, 0x03CD, 0x6B05); // the one ambiguous shape
        row("1 response, 1 byte", frame("010101cd"), K::Response, true);
        row("1 response, count wrong", frame("010102cd"), K::Response, false);
        row("2 request", frame("010200c40016"), K::Request, true, 0xC4, 0x16);
        row("3 response, odd byte count", frame("01030105"), K::Response, false);
        row("3 response, no bytes", frame("010300"), K::Response, false);
        row("3 request, one byte short", frame("0103000000"), K::Response, false);
        row("4 request", frame("010400080001"), K::Request, true, 8, 1);
        row("4 response", frame("010402000a"), K::Response, true);
        row("5 on", frame("010500acff00"), K::Request, true, 0xAC);
        row("5 short", frame("010500ac"), K::Request, false, -1);
        row("6 long", frame("01060001000300"), K::Request, false, -1);
        row("8 echo", frame("01080000a537"), K::Request, true);
        row("8 odd data", frame("01080000a5"), K::Request, false);
        row("15 request", frame("010f0013000a02cd01"), K::Request, true, 0x13, 10);
        row("15 byte count against count", frame("010f0013000a01cd"), K::Request, false, 0x13, 10);
        row("15 response", frame("010f0013000a"), K::Response, true, 0x13, 10);
        row("16 byte count against count", frame("011000010003040001 0002"), K::Request, false, 1, 3);
        row("16 byte count past the end", frame("01100001000204000a"), K::Request, false);
        row("exception, long", frame("01830200"), K::Exception, false);
        row("unknown function", frame("0141aabb"), K::Unknown, true);
        row("too short for a CRC", QByteArray::fromHex("0103ff"), K::Unknown, false);
        row("empty", QByteArray(), K::Unknown, false);
    }
    void lengthsEachFunctionCanHave() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, kind);
        QFETCH(bool, lengthOk);
        QFETCH(int, start);
        QFETCH(int, count);
        const DecodedFrame f = decodeFrame(bytes);
        QCOMPARE(int(f.kind), kind);
        QCOMPARE(f.lengthOk, lengthOk);
        QCOMPARE(f.start, start);
        QCOMPARE(f.count, count);
        QCOMPARE(f.crcError(), false); // every CRC here is right, or the frame carries none
        QCOMPARE(f.bytes, bytes);      // nothing is dropped
        QCOMPARE(f.crcChecked, bytes.size() >= 4);
    }

    void describedWithoutDroppingAnything() {
        const DecodeTexts t = englishTexts();
        QCOMPARE(describe(decodeFrame(frame("0141aabb")), t, RegisterView::Real),
                 QString("slave 1; 41 unknown function 65"));
        QCOMPARE(describe(decodeFrame(QByteArray::fromHex("0103ff")), t, RegisterView::Real),
                 QString("slave 1; 03 Read Holding Registers; wrong length"));
        QCOMPARE(describe(decodeFrame(frame("011000320002040000 3fc0")), t, RegisterView::Real),
                 QString("slave 1; 10 Write Multiple Registers; request; start 50; count 2; bytes 4; "
                         "values 0 16320; R50-51 = 1.5"));
    }

    void streamPairsAnswersWithRequests() {
        FrameDecoder decoder;
        // A coil read of 17..24 coils is answered with three status bytes: the same shape as a
        // request, told apart by the request before it.
        decoder.decode(frame("010100000014"));
        const DecodedFrame bits = decoder.decode(frame("010103cd6b05"));
        QCOMPARE(bits.kind, FrameKind::Response);
        QCOMPARE(bits.bits, QByteArray::fromHex("cd6b05"));

        // A read of user registers from 51: the pairs start at 52. Registers 50..99 only.
        decoder.decode(frame("010300330004"));
        const DecodedFrame odd = decoder.decode(frame("01030800010002000300 04"));
        QCOMPARE(userRegisterPairs(odd).size(), 1);
        QCOMPARE(userRegisterPairs(odd).first().firstRegister, 52);
        QCOMPARE(userRegisterPairs(odd).first().value, 0x00030002u);
        decoder.decode(frame("010300620002")); // 98, 99
        QCOMPARE(userRegisterPairs(decoder.decode(frame("0103040001 0002"))).size(), 1);
        decoder.decode(frame("010300630002")); // 99, 100: no whole pair
        QVERIFY(userRegisterPairs(decoder.decode(frame("01030400010002"))).isEmpty());
        // An answer from another slave, or of another length, is not paired.
        decoder.decode(frame("010300320002"));
        QCOMPARE(decoder.decode(frame("02030400010002")).wordsStart, -1);
        decoder.decode(frame("010300320002"));
        QCOMPARE(decoder.decode(frame("0103020001")).wordsStart, -1);
    }

    void capturesReadBackAsWritten() {
        const QList<CapturedFrame> frames{
            {1765285356123, frame("1103006b0003")},
            {1765285356124, frame("110306022b00000064")},
            {1765285356999, QByteArray::fromHex("118302ffff")}, // bad CRC
            {1765285357000, QByteArray::fromHex("01")},        // too short
            {1765285358000, frame("0141aabb")},
        };
        FrameDecoder decoder;
        QList<DecodedFrame> decoded;
        QStringList lines;
        QStringList texts;
        for (const CapturedFrame& f : frames) {
            decoded.append(decoder.decode(f.bytes));
            // A text with the characters CSV has to quote.
            texts.append(QStringLiteral("a, \"quoted\"; text"));
            QString hex;
            for (const char c : f.bytes)
                hex += QStringLiteral("%1  ").arg(quint8(c), 2, 16, QChar('0')).toUpper();
            lines.append(hex + QStringLiteral("  ->>  ") + texts.last());
        }
        const QByteArray text = textCapture(frames, lines);
        const QByteArray csv = csvCapture(frames, decoded, texts, englishTexts());
        const QByteArray pcap = pcapCapture(frames);
        QCOMPARE(readCapture(text), frames);
        QCOMPARE(readCapture(csv), frames);
        QCOMPARE(readCapture(pcap), frames);
        QVERIFY(csv.startsWith("time,kind,slave,function,function_name,start,count,byte_count,values,exception,"
                               "crc,length,bytes,text\r\n2025-12-09T13:02:36.123Z,request,17,3,"));
        QVERIFY(csv.contains(",\"a, \"\"quoted\"\"; text\"\r\n"));
        QVERIFY(csv.contains(",exception,17,131,Read Holding Registers,,,,,2,bad,ok,11 83 02 FF FF,"));

        // Damaged or foreign files are refused, not half read.
        QVERIFY(!readCapture(pcap.left(pcap.size() - 1)));
        QByteArray otherLink = pcap;
        otherLink[20] = char(1); // Ethernet
        QVERIFY(!readCapture(otherLink));
        QVERIFY(!readCapture(csv.left(csv.indexOf("\"a,") + 3)));
        QVERIFY(!readCapture("not a capture\n"));
        QCOMPARE(readCapture(QByteArray()), QList<CapturedFrame>{});
    }

    // Wireshark's own Modbus RTU dissector reads our pcap as our decoder does.
    void tsharkDecodesThePcapAsWeDo() {
        const QString tshark = QStandardPaths::findExecutable(QStringLiteral("tshark"));
        if (tshark.isEmpty())
            QSKIP("tshark is not installed (scripts/install-deps.sh installs it): the pcap is not checked "
                  "against Wireshark's decoder");
        const QList<QByteArray> bytes{
            frame("1103006b0003"), frame("110306022b00000064"), frame("110600010003"),
            frame("1110000100020400 0a0102"), frame("111000010002"), frame("118302"),
            frame("010100130013"), frame("0104000800 01"), frame("0105 00acff00"), frame("010f0013000a02cd01"),
        };
        QList<CapturedFrame> frames;
        FrameDecoder decoder;
        QList<DecodedFrame> ours;
        for (int i = 0; i < bytes.size(); ++i) {
            frames.append({1765285356000 + i, bytes[i]});
            ours.append(decoder.decode(bytes[i]));
        }
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("capture.pcap"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(pcapCapture(frames));
        file.close();
        QProcess process;
        process.start(tshark, {"-n", "-r", path, "-o", "uat:user_dlts:\"User 0 (DLT=147)\",\"mbrtu\",\"0\",\"\",\"0\",\"\"",
                               "-T", "fields", "-E", "separator=,", "-e", "mbrtu.unit_id", "-e", "modbus.func_code",
                               "-e", "modbus.reference_num", "-e", "modbus.word_cnt", "-e", "modbus.exception_code"});
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 0);
        const QStringList rows = QString::fromUtf8(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(rows.size(), ours.size());
        for (int i = 0; i < rows.size(); ++i) {
            const QStringList got = rows[i].split(QLatin1Char(','));
            const DecodedFrame& f = ours[i];
            const QString where = QStringLiteral("frame %1: %2").arg(i).arg(rows[i]);
            QVERIFY2(got.size() == 5, qPrintable(where));
            QVERIFY2(got[0].toInt() == f.slave, qPrintable(where));
            QVERIFY2(got[1].toInt() == f.baseFunction(), qPrintable(where));
            if (f.kind == FrameKind::Exception)
                QVERIFY2(got[4].toInt() == f.exceptionCode, qPrintable(where));
            const int start = f.wordsStart >= 0 ? f.wordsStart : f.start;
            if (!got[2].isEmpty())
                QVERIFY2(got[2].toInt() == start, qPrintable(where));
            if (!got[3].isEmpty() && f.count >= 0)
                QVERIFY2(got[3].toInt() == f.count, qPrintable(where));
        }
    }
};

QTEST_GUILESS_MAIN(ModbusDecoderTest)
#include "test_modbus_decoder.moc"
