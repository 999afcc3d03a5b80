// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileLimits.h"
#include "program/core/ProgramFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace kvt::program;

namespace {

// A program file record: the address, then a command whose bytes all read `fill`.
QByteArray fileRecord(quint8 address, quint8 fill) {
    return QByteArray(1, char(address)) + QByteArray(10, char(fill));
}

CommandRecord filled(quint8 fill) {
    CommandRecord r;
    r.fill(fill);
    return r;
}

// A store holding an older program of `length` commands whose bytes read 0xEE.
ProgramStore usedStore(quint32 length) {
    ProgramStore s;
    s.commands.fill(filled(0xEE));
    s.length = length;
    s.position = 7;
    return s;
}

} // namespace

class TestProgramFile : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = dir_.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            qFatal("cannot write the test file");
        return path;
    }

private slots:
    void takesTheRecordsOfOneAddressInFileOrder() {
        // Addresses 0 and 3 interleaved, and a 3-byte tail that is not a whole record.
        const QByteArray file =
            fileRecord(3, 1) + fileRecord(0, 2) + fileRecord(3, 3) + QByteArray("\x03\x09\x09");
        ProgramStore s = usedStore(5);
        QCOMPARE(takeProgram(file, 3, s), 2);
        QCOMPARE(s.length, 2u);
        QCOMPARE(s.commands[0], filled(1));
        QCOMPARE(s.commands[1], filled(3));
        QCOMPARE(s.commands[2], filled(0xEE)); // beyond the length: untouched
        QCOMPARE(s.position, 7u);
        QCOMPARE(takeProgram(file, 0, s), 1);
        QCOMPARE(takeProgram(file, 5, s), 0);
        QCOMPARE(s.length, 0u);
    }

    void loadResults() {
        ProgramStore s = usedStore(4);

        ProgramFileLoad load = loadProgramFile(QString(), 0, s);
        QCOMPARE(load.result, LoadResult::NoFileName);
        QVERIFY(!load.read);

        load = loadProgramFile(dir_.filePath("missing.txp"), 0, s);
        QCOMPARE(load.result, LoadResult::NoProgram);
        QVERIFY(!load.read);
        QCOMPARE(s.length, 4u);

        load = loadProgramFile(dir_.path(), 0, s); // a folder is not a program file
        QCOMPARE(load.result, LoadResult::NoProgram);
        QVERIFY(!load.read);

        // 300 records of 11 bytes is the largest file; one byte more is refused unread.
        QByteArray full;
        for (int i = 0; i < 300; ++i)
            full += fileRecord(0, quint8(i));
        load = loadProgramFile(write("full.txp", full), 0, s);
        QCOMPARE(load.result, LoadResult::Loaded);
        QVERIFY(load.read);
        QCOMPARE(load.fileName, QString("full.txp"));
        QCOMPARE(s.length, 300u);
        QCOMPARE(s.commands[299], filled(quint8(299)));

        ProgramStore before = usedStore(4);
        ProgramStore t = before;
        load = loadProgramFile(write("over.txp", full + QByteArray(1, '\0')), 0, t);
        QCOMPARE(load.result, LoadResult::TooLarge);
        QVERIFY(!load.read);
        QCOMPARE(t.length, before.length);
        QCOMPARE(t.commands, before.commands);

        // 25 bytes: two whole records, both of address 0; the last 3 bytes are ignored.
        load = loadProgramFile(write("short.txp", fileRecord(0, 1) + fileRecord(0, 2) + "\0\1\1"), 0, t);
        QCOMPARE(load.result, LoadResult::Loaded);
        QCOMPARE(t.length, 2u);

        // A file of address 3 only: read, but empty for address 0; complete for address 3.
        const QString three = write("three.txp", fileRecord(3, 1) + fileRecord(3, 2) + fileRecord(3, 3));
        load = loadProgramFile(three, 0, t);
        QCOMPARE(load.result, LoadResult::NoProgram);
        QVERIFY(load.read); // the page shows "0" commands, the save button is enabled
        QCOMPARE(t.length, 0u);
        QCOMPARE(loadProgramFile(three, 3, t).result, LoadResult::Loaded);
        QCOMPARE(t.length, 3u);

        load = loadProgramFile(write("empty.txp", QByteArray()), 0, t);
        QCOMPARE(load.result, LoadResult::NoProgram);
        QVERIFY(load.read);
    }

    void savedFileReloadsForAddressZeroOnly() {
        ProgramStore s = usedStore(0);
        s.commands[0] = filled(1);
        s.commands[1] = {4, 0, 0, 0, 0, 0, 0, 0, 0, 0};
        s.length = 2;
        const QByteArray bytes = encodeProgramFile(s);
        QCOMPARE(bytes, fileRecord(0, 1) + QByteArray::fromHex("0004000000000000000000"));

        const QString path = dir_.filePath("saved.txp");
        QVERIFY(!writeProgramFile(path, bytes));
        ProgramStore t;
        QCOMPARE(loadProgramFile(path, 0, t).result, LoadResult::Loaded);
        QCOMPARE(t.listing(), s.listing());
        QCOMPARE(loadProgramFile(path, 3, t).result, LoadResult::NoProgram);
    }

    void saveReplacesWholeFileOrReportsWhy() {
        const QString path = write("old.txp", QByteArray(200, 'x'));
        ProgramStore empty;
        QVERIFY(!writeProgramFile(path, encodeProgramFile(empty)));
        QCOMPARE(QFileInfo(path).size(), 0); // an empty program gives an empty file

        const std::optional<QString> failed =
            writeProgramFile(dir_.filePath("no-such-folder/p.txp"), QByteArray(11, '\0'));
        QVERIFY(failed);
        QVERIFY(!failed->isEmpty());
        QVERIFY(!QFile::exists(dir_.filePath("no-such-folder/p.txp")));

        // A write that fails half way (a size limit, as a full disk) keeps the old file.
        const QString kept = write("kept.txp", QByteArray(22, 'k'));
        std::optional<QString> cut;
        {
            testing::FileSizeLimit limit(100);
            cut = writeProgramFile(kept, QByteArray(300 * 11, '\0'));
        }
        QCOMPARE(cut, std::optional(QString::fromLocal8Bit(std::strerror(EFBIG))));
        QCOMPARE(testing::readAll(kept), QByteArray(22, 'k'));
    }

    void interleavedFileKeepsAddressesAndOrder() {
        const QList<AddressedCommand> commands{{0, filled(1)}, {15, filled(2)}, {0, filled(3)}};
        QCOMPARE(encodeProgramFile(commands), fileRecord(0, 1) + fileRecord(15, 2) + fileRecord(0, 3));
    }

    void extensionRule_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("saved");
        QTest::newRow("none") << "/tmp/prog"
                              << "/tmp/prog.txp";
        QTest::newRow("txp") << "/tmp/prog.txp"
                             << "/tmp/prog.txp";
        QTest::newRow("upper case") << "/tmp/prog.TXP"
                                    << "/tmp/prog.TXP.txp";
        QTest::newRow("other") << "/tmp/prog.bin"
                               << "/tmp/prog.bin.txp";
        QTest::newRow("folder only") << "/tmp/a.txp/prog"
                                     << "/tmp/a.txp/prog.txp";
    }
    void extensionRule() {
        QFETCH(QString, chosen);
        QFETCH(QString, saved);
        QCOMPARE(withProgramExtension(chosen), saved);
    }

    void listingAndMemoryShare() {
        QCOMPARE(listingLine({4, 0, 0, 0, 0, 0, 0, 0, 0, 0}), QString("4  0  0  0  0  0  0  0  0  0  "));
        QCOMPARE(listingLine({255, 16, 0, 0, 0, 0, 0, 0, 0, 1}),
                 QString("255  16  0  0  0  0  0  0  0  1  "));
        QCOMPARE(memoryShare(0), QString("0%"));
        QCOMPARE(memoryShare(1), QString("0%"));
        QCOMPARE(memoryShare(150), QString("50%"));
        QCOMPARE(memoryShare(299), QString("99%"));
        QCOMPARE(memoryShare(300), QString("100%"));
        QCOMPARE(memoryShare(65535), QString("21845%"));
    }
};

QTEST_GUILESS_MAIN(TestProgramFile)
#include "test_program_file.moc"
