// SPDX-License-Identifier: GPL-3.0-or-later
#include "program/core/ProgramControl.h"
#include "program/core/ProgramTransfer.h"

#include <QTest>

using namespace kvt;
using namespace kvt::program;

namespace {

ByteReader response(const char* hex) {
    QByteArray b = QByteArray::fromHex(hex);
    b.resize(65, '\0'); // reports arrive zero-filled
    return ByteReader(b);
}

ProgramStore storeOf(int length) {
    ProgramStore s;
    for (int i = 0; i < ProgramCapacity; ++i)
        s.commands[i].fill(quint8(i));
    s.length = quint32(length);
    return s;
}

} // namespace

class TestProgramTransfer : public QObject {
    Q_OBJECT
private slots:
    void sendOfOneCommand() {
        ProgramStore s = storeOf(1);
        s.position = 9;
        QCOMPARE(beginSend(s), QByteArray::fromHex("e50001"));
        QCOMPARE(s.position, 0u);

        SendStep step = answerRequest(s, response("e60000"));
        QCOMPARE(step.kind, SendStep::Answered);
        QCOMPARE(step.command, QByteArray::fromHex("e60000") + QByteArray(10, '\0'));
        step = answerRequest(s, response("e60001"));
        QCOMPARE(step.kind, SendStep::Complete);
        QCOMPARE(step.index, quint16(1));
        QVERIFY(step.command.isEmpty());
    }

    void sendOfFullMemory() {
        ProgramStore s = storeOf(300);
        QCOMPARE(beginSend(s), QByteArray::fromHex("e5012c"));
        SendStep step = answerRequest(s, response("e6012b")); // 299, high byte first
        QCOMPARE(step.kind, SendStep::Answered);
        QCOMPARE(step.command, QByteArray::fromHex("e6012b") + QByteArray(10, char(299 & 0xFF)));
        QCOMPARE(answerRequest(s, response("e6012c")).kind, SendStep::Complete);
        step = answerRequest(s, response("e6012d"));
        QCOMPARE(step.kind, SendStep::Ignored);
        QCOMPARE(s.position, 301u);
        QCOMPARE(answerRequest(s, response("e6ffff")).kind, SendStep::Ignored);
    }

    void readBackOfShortPrograms_data() {
        QTest::addColumn<QByteArray>("length");
        QTest::addColumn<quint32>("stored");
        QTest::addColumn<bool>("fetch");
        QTest::newRow("0") << QByteArray("670000") << 0u << false;
        QTest::newRow("1") << QByteArray("670001") << 1u << false;
        QTest::newRow("2") << QByteArray("670002") << 2u << false;
        QTest::newRow("3") << QByteArray("670003") << 3u << true;
        QTest::newRow("256") << QByteArray("670100") << 256u << true;
        QTest::newRow("above capacity") << QByteArray("670200") << 300u << true;
    }
    void readBackOfShortPrograms() {
        QFETCH(QByteArray, length);
        QFETCH(quint32, stored);
        QFETCH(bool, fetch);
        ProgramStore s = storeOf(10);
        const ReadBackStart start = ReadBack().start(s, response(length.constData()));
        QCOMPARE(s.length, stored);
        QCOMPARE(start.fetch, fetch);
    }

    void readBackStoresEachRecordAndEndsAtTheLength() {
        ProgramStore s = storeOf(0);
        ReadBack readBack;
        readBack.start(s, response("670003"));
        ReadBackStep step = readBack.take(s, response("670000"
                                                      "0102030405060708090a"));
        QVERIFY(!step.complete);
        QCOMPARE(step.sizeText, QString("0"));
        QCOMPARE(step.memoryText, QString("0%"));
        QCOMPARE(s.commands[0], (CommandRecord{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
        readBack.take(s, response("680001"
                                  "11111111111111111111"));
        readBack.take(s, response("680002"
                                  "22222222222222222222"));
        // The reply with the index equal to the length ends it; its record is kept but not listed.
        step = readBack.take(s, response("680003"
                                         "33333333333333333333"));
        QVERIFY(step.complete);
        QCOMPARE(step.sizeText, QString("3"));
        CommandRecord threes;
        threes.fill(0x33);
        QCOMPARE(s.commands[3], threes);
        QCOMPARE(s.position, 3u);
        const QStringList listing = s.listing();
        QCOMPARE(listing.size(), 3);
        QCOMPARE(listing[0], QString("1  2  3  4  5  6  7  8  9  10  "));
        QCOMPARE(listing[2], QString("34  34  34  34  34  34  34  34  34  34  "));
    }

    void readBackIndexBeyondTheStoreIsDropped() {
        ProgramStore s = storeOf(300);
        const ProgramStore before = s;
        ReadBack readBack;
        const ReadBackStep step = readBack.take(s, response("68012c"
                                                            "ffffffffffffffffffff"));
        QVERIFY(step.complete);
        QCOMPARE(step.memoryText, QString("100%"));
        QCOMPARE(s.commands, before.commands);
        QCOMPARE(readBack.take(s, response("68ffff")).sizeText, QString("65535"));
    }

    // A controller that keeps answering with an index it already sent is not asked again.
    void readBackDoesNotLoopOnRepeatedReplies() {
        ProgramStore s = storeOf(0);
        ReadBack readBack;
        QVERIFY(readBack.start(s, response("670005")).fetch);
        QVERIFY(readBack.take(s, response("680000")).askNext);
        ReadBackStep step = readBack.take(s, response("680000"));
        QVERIFY(!step.askNext);
        QVERIFY(!step.complete);
        QVERIFY(readBack.take(s, response("680001")).askNext);
        QVERIFY(readBack.take(s, response("680003")).askNext); // moved on: a lost reply is skipped
        step = readBack.take(s, response("680005"));
        QVERIFY(step.complete);
        QVERIFY(!step.askNext);
        // A new read-back starts from index 0 again.
        readBack.start(s, response("670003"));
        QVERIFY(readBack.take(s, response("680000")).askNext);
    }

    void runState() {
        QCOMPARE(decodeRunState(response("1f00")), std::optional(RunState::Off));
        QCOMPARE(decodeRunState(response("1f01")), std::optional(RunState::Running));
        QCOMPARE(decodeRunState(response("1f03")), std::optional(RunState::Paused));
        QCOMPARE(decodeRunState(response("1f02")), std::nullopt);
        QCOMPARE(decodeRunState(response("1fff")), std::nullopt);
    }

    void registerCommands() {
        QCOMPARE(encodeSetRegister(50, 1.0f), std::optional(QByteArray::fromHex("ea00003f8000")));
        QCOMPARE(encodeSetRegister(70, -2.5f), std::optional(QByteArray::fromHex("ea0000c02028")));
        QCOMPARE(encodeSetRegister(96, 1.0f)->at(5), char(92));
        // 123456.789 rounds to the single 0x47F12065: low half 2065 first, then 47F1.
        QCOMPARE(encodeSetRegister(52, 123456.789f), std::optional(QByteArray::fromHex("ea206547f104")));
        QCOMPARE(encodeSetRegister(98, 0.0f)->at(5), char(96));
        QCOMPARE(encodeSetRegister(99, 0.0f), std::nullopt);
        // A typed value beyond a single is refused rather than sent as an infinity.
        QCOMPARE(registerValue(-3.4e38), std::optional(-3.4e38f));
        QCOMPARE(registerValue(1e39), std::nullopt);
        QCOMPARE(registerValue(-1e39), std::nullopt);
        QCOMPARE(encodeSaveRegisters(), QByteArray::fromHex("eb"));
        QCOMPARE(encodeStart() + encodeStop() + encodePause() + encodeRunStateRequest(),
                 QByteArray::fromHex("9c9d9e1f"));
    }
};

QTEST_GUILESS_MAIN(TestProgramTransfer)
#include "test_program_transfer.moc"
