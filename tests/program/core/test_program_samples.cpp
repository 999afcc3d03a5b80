// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProgramSamples.h"
#include "program/core/ProgramFile.h"

#include <QFile>
#include <QTest>

using namespace kvt::program;

// The committed sample files are what the writer makes, and they load as their names say.
class TestProgramSamples : public QObject {
    Q_OBJECT

    static QString dataFile(const QString& name) { return QStringLiteral(KVT_PROGRAM_DATA "/") + name; }

private slots:
    void committedFilesMatchTheirMaker() {
        QList<samples::SampleFile> files = samples::testFiles();
        files.append({QStringLiteral(KVT_DEMO_PROGRAM), samples::demoProgram()});
        for (const samples::SampleFile& f : files) {
            QFile file(f.name.startsWith('/') ? f.name : dataFile(f.name));
            QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
            QVERIFY2(file.readAll() == f.bytes,
                     qPrintable(f.name + " is out of date: run make_program_samples"));
        }
    }

    void samplesLoad() {
        ProgramStore s;
        QCOMPARE(loadProgramFile(dataFile("short_address0.txp"), 0, s).result, LoadResult::Loaded);
        QCOMPARE(s.length, 7u);
        QCOMPARE(s.listing().last(), QString("4  0  0  0  0  0  0  0  0  0  "));

        const QString interleaved = dataFile("interleaved.txp");
        const QList<std::pair<int, quint32>> lengths{{0, 7}, {1, 3}, {2, 0}, {3, 7}, {15, 2}};
        for (const auto& [address, length] : lengths) {
            loadProgramFile(interleaved, address, s);
            QCOMPARE(s.length, length);
        }

        QCOMPARE(QFileInfo(dataFile("full_300.txp")).size(), MaxProgramFileSize);
        QCOMPARE(loadProgramFile(dataFile("full_300.txp"), 0, s).result, LoadResult::Loaded);
        QCOMPARE(memoryShare(s.length), QString("100%"));
        QCOMPARE(loadProgramFile(dataFile("oversize_3301.txp"), 0, s).result, LoadResult::TooLarge);
    }
};

QTEST_GUILESS_MAIN(TestProgramSamples)
#include "test_program_samples.moc"
