// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileLimits.h"
#include "format/core/AtomicFile.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using kvt::files::AtomicFile;
using kvt::files::writeFileAtomically;
using testing::readAll;
using testing::writeAll;

class TestAtomicFile : public QObject {
    Q_OBJECT

    static QStringList entries(const QString& folder) {
        return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

private slots:
    // A new file and a replaced one hold exactly what was written; nothing else is left behind.
    void writesAndReplaces() {
        QTemporaryDir dir;
        const QString path = dir.filePath("a.bin");
        QCOMPARE(writeFileAtomically(path, "first"), std::nullopt);
        QCOMPARE(readAll(path), QByteArray("first"));

        AtomicFile file(path);
        QVERIFY(file.open());
        QVERIFY(file.write("sec"));
        QVERIFY(file.write("ond"));
        QCOMPARE(readAll(path), QByteArray("first")); // not visible before the commit
        QVERIFY(file.commit());
        QCOMPARE(readAll(path), QByteArray("second"));
        QCOMPARE(file.error(), QString());
        QCOMPARE(entries(dir.path()), QStringList{"a.bin"});

        // Given up half way: the target stays as it was.
        AtomicFile dropped(path);
        QVERIFY(dropped.open());
        QVERIFY(dropped.write("third"));
        dropped.cancel();
        QCOMPARE(readAll(path), QByteArray("second"));
        QCOMPARE(entries(dir.path()), QStringList{"a.bin"});
    }

    // A write refused by a file-size limit (as by a full disk) keeps the old file, leaves no
    // temporary file, and names the system's reason and the file.
    void fileSizeLimitKeepsOldFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath("a.bin");
        QVERIFY(writeAll(path, "old contents"));
        AtomicFile file(path);
        QVERIFY(file.open());
        {
            testing::FileSizeLimit limit(1000);
            QVERIFY(!file.write(QByteArray(4000, 'x')));
        }
        QVERIFY(!file.write("more")); // the first failure sticks
        QVERIFY(!file.commit());
        QCOMPARE(readAll(path), QByteArray("old contents"));
        QCOMPARE(entries(dir.path()), QStringList{"a.bin"});
        QCOMPARE(file.reason(), QString::fromLocal8Bit(std::strerror(EFBIG)));
        QCOMPARE(file.error(), QDir::toNativeSeparators(path) + ": " + file.reason());
    }

    // A small file system that fills up: the same.
    void fullDiskKeepsOldFile() {
        testing::TmpfsMount disk(64 * 1024);
        if (!disk.mounted())
            QSKIP(qPrintable(disk.whyNot()));
        const QString path = disk.filePath("a.bin");
        QVERIFY(writeAll(path, "old contents"));
        const std::optional<QString> error = writeFileAtomically(path, QByteArray(256 * 1024, 'x'));
        QVERIFY(error);
        QVERIFY2(error->endsWith(QString::fromLocal8Bit(std::strerror(ENOSPC))), qPrintable(*error));
        QCOMPARE(readAll(path), QByteArray("old contents"));
        QCOMPARE(entries(disk.path()), QStringList{"a.bin"});
        // Room enough again: the save goes through.
        QCOMPARE(writeFileAtomically(path, QByteArray(1024, 'y')), std::nullopt);
        QCOMPARE(readAll(path), QByteArray(1024, 'y'));
    }

    // No temporary file can be made: the folder is named as not writable and nothing is written
    // in place.
    void unwritableFolder() {
        testing::ReadOnlyFolder folder;
        if (!folder.ready())
            QSKIP(qPrintable(folder.whyNot()));
        const QString path = folder.filePath("a.bin");
        QCOMPARE(readAll(path), QByteArray("old contents"));
        const std::optional<QString> error = writeFileAtomically(path, "new");
        QVERIFY(error);
        QVERIFY2(error->contains("cannot be written"), qPrintable(*error));
        QCOMPARE(readAll(path), QByteArray("old contents"));

        QTemporaryDir dir;
        const QString missing = dir.filePath("no/such/a.bin");
        QCOMPARE(writeFileAtomically(missing, "x"),
                 std::optional(QDir::toNativeSeparators(missing) + ": the folder " +
                               QDir::toNativeSeparators(dir.filePath("no/such")) + " does not exist"));
    }

    // A folder or a device in the target's place is never replaced.
    void targetThatIsNoFile() {
        QTemporaryDir dir;
        const QString folder = dir.filePath("sub");
        QVERIFY(QDir().mkpath(folder + "/inner"));
        const std::optional<QString> error = writeFileAtomically(folder, "x");
        QVERIFY(error);
        QVERIFY2(error->contains("folder"), qPrintable(*error));
        QVERIFY(QFileInfo(folder + "/inner").isDir());
        QVERIFY(writeFileAtomically("/dev/null", "x"));
        QVERIFY(QFileInfo("/dev/null").exists());
    }
};

QTEST_GUILESS_MAIN(TestAtomicFile)
#include "test_atomic_file.moc"
