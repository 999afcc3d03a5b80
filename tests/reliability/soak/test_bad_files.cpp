// SPDX-License-Identifier: GPL-3.0-or-later
// Configuration and program files as they turn up on a technician's disk: cut short, far too
// large, random bytes, edited by hand in other editors (CR, LF or CR LF, a byte order mark,
// duplicate keys, a 10 MB line, bytes that are not UTF-8), a pipe or a folder chosen in the file
// dialog, and a save killed half-way. Each is loaded by the file rules or refused with a message,
// through the core readers and through the pages; nothing crashes or hangs.

#include "RigTest.h"
#include "TestFiles.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "config/core/ConfigFile.h"
#include "program/core/ProgramFile.h"
#include "shell/Poller.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace testing;
using namespace kvt::config;

namespace {

constexpr int ConfigPage = 1;
constexpr int ProgramPage = 3;

ConfigSettings load(const QByteArray& text, ConfigSettings s = {}) {
    applyConfigFile(IniDocument::parse(text), s, SettingsLimits{});
    return s;
}

// Settings a file written by hand sets, and that file with CR LF endings.
ConfigSettings handSettings() {
    ConfigSettings s;
    s.MaxCurrent = 60;
    s.RedCurrent = 40;
    s.Microstep = 4;
    s.DefMinVel = QStringLiteral("0,5");
    s.DefAcc = QStringLiteral("7");
    s.Kp = QStringLiteral("9");
    s.Units = 2;
    return s;
}

QByteArray handFile(const QByteArray& eol) {
    return "[DRIVERconfig]" + eol + "MaxCurrent=60" + eol + "RedCurrent=40" + eol + "Microstep=4" + eol +
           "[MOTIONconfig]" + eol + "DefMinVel=0,5" + eol + "DefAcc=7" + eol + "[OTHERconfig]" + eol +
           "Kp=9" + eol + "Units=2" + eol;
}

// What a load gives for the entries the hand file does not hold, so that expected settings can be
// compared as a whole.
ConfigSettings withDefaults(ConfigSettings s) {
    const ConfigSettings defaults = load({});
    s.RedCurrentON = defaults.RedCurrentON;
    s.MotorResol = defaults.MotorResol;
    s.DefMaxVel = defaults.DefMaxVel;
    s.EncoderMode = defaults.EncoderMode;
    s.EncoderResol = defaults.EncoderResol;
    s.HomingMode = defaults.HomingMode;
    s.AinMode = defaults.AinMode;
    s.AinMinVal = defaults.AinMinVal;
    s.AinMaxVal = defaults.AinMaxVal;
    s.HomieAsLimitSw = defaults.HomieAsLimitSw;
    s.StartStopMode = defaults.StartStopMode;
    s.OffAfterError = defaults.OffAfterError;
    s.PositionMem = defaults.PositionMem;
    s.RevToLinCoef = defaults.RevToLinCoef;
    s.Decp = defaults.Decp;
    s.Baudrate = defaults.Baudrate;
    s.Address = defaults.Address;
    return s;
}

QByteArray randomBytes(QRandomGenerator& rng, int size) {
    QByteArray b(size, '\0');
    for (char& c : b)
        c = char(rng.bounded(256));
    return b;
}

// Runs `load`; when it is still blocked after `ms` (real time: a hang is what is looked for), a
// watchdog opens `fifo` for writing, which lets an open waiting for a writer return, and the load
// counts as hung.
template <typename Load> bool finishesWithoutWriter(const QString& fifo, Load load, int ms = 3000) {
    std::atomic<bool> done{false};
    std::atomic<bool> released{false};
    std::thread watchdog([&] {
        QElapsedTimer clock;
        clock.start();
        while (!done) {
            if (clock.elapsed() > ms) {
                const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0) {
                    released = true;
                    ::close(fd);
                }
            }
            QThread::msleep(5);
        }
    });
    load();
    done = true;
    watchdog.join();
    return !released;
}

struct ChildEnd {
    bool killed = false; // ended by SIGKILL
    int exitCode = -1;
};

// Runs the interrupted_save helper; true when SIGKILL ended it.
ChildEnd runInterruptedSave(const QString& kind, const QString& path, int bytes) {
    const QByteArray program = KVT_INTERRUPTED_SAVE;
    const QByteArray k = kind.toLocal8Bit(), p = QFile::encodeName(path), n = QByteArray::number(bytes);
    char* argv[] = {const_cast<char*>(program.constData()), const_cast<char*>(k.constData()),
                    const_cast<char*>(p.constData()), const_cast<char*>(n.constData()), nullptr};
    pid_t pid = 0;
    ChildEnd end;
    if (posix_spawn(&pid, program.constData(), nullptr, nullptr, argv, environ) != 0)
        return end;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid)
        return end;
    end.killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    end.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return end;
}

} // namespace

class BadFilesTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    QString path(const QString& name) const { return dir_.filePath(name); }

    // Loads `file` on the Configuration page as a user does: menu, file dialog, confirmation.
    // Returns the kind of the last box shown ("information" after a load, "error" when refused).
    static QString loadOnPage(rig::AppRig& rig, const QString& file) {
        rig.clearDialogs();
        rig.answerFile(file);
        rig.answer(true);
        if (!rig.click("Odczytajzpliku1"))
            return QStringLiteral("<blocked>");
        rig.settle();
        return rig.dialogs().isEmpty() ? QString() : rig.dialogs().last().kind;
    }

    static void openProgram(rig::AppRig& rig, const QString& file) {
        rig.answerFile(file);
        QVERIFY(rig.click("btn_ProgOpen"));
        rig.settle();
    }

private slots:
    // Line endings of every kind, a byte order mark, duplicate keys and blanks: the same settings.
    void editorsOwnHabitsLoadTheSameSettings_data() {
        QTest::addColumn<QByteArray>("text");
        const QByteArray crLf = handFile("\r\n");
        QTest::newRow("CR LF") << crLf;
        QTest::newRow("LF") << handFile("\n");
        QTest::newRow("CR") << handFile("\r");
        QTest::newRow("LF CR") << handFile("\n\r"); // an empty line after each
        QTest::newRow("no last line ending") << crLf.chopped(2);
        QTest::newRow("UTF-8 byte order mark") << "\xEF\xBB\xBF" + crLf;
        QTest::newRow("byte order mark, LF") << "\xEF\xBB\xBF" + handFile("\n");
        QTest::newRow("tabs and blanks") << QByteArray(crLf).replace("=", " \t=\t ").replace("[", "\t[");
        QTest::newRow("duplicate keys, the first counts")
            << QByteArray(crLf).replace("Units=2\r\n", "Units=2\r\nUnits=1\r\nunits=0\r\n");
        QTest::newRow("duplicate section, the first counts") << crLf + "[DRIVERconfig]\r\nMaxCurrent=99\r\n";
        QTest::newRow("NUL bytes elsewhere") << QByteArray("[Notes]\r\nx=\0\0\0\r\n", 16) + crLf;
        QTest::newRow("not UTF-8 elsewhere") << "; \xff\xfe\x80 notatki\r\n" + crLf;
    }
    void editorsOwnHabitsLoadTheSameSettings() {
        QFETCH(QByteArray, text);
        QCOMPARE(load(text, ConfigSettings{}), withDefaults(handSettings()));
    }

    // Saving over a hand-edited file keeps its form: the byte order mark stays in front, the
    // entries are replaced where they are, and the version is not added a second time.
    void saveOverAByteOrderMarkFile() {
        const QByteArray bom = "\xEF\xBB\xBF";
        const QByteArray saved = writeConfigFile({}, handSettings());
        const QByteArray withBom = bom + saved;
        const QByteArray again = writeConfigFile(withBom, handSettings());
        QCOMPARE(again, withBom);
        QCOMPARE(again.count("[KVT-revizareduva ]"), 1);
        QCOMPARE(load(again), load(saved));
    }

    // A file cut anywhere loads: every entry is its saved value, its default, or for a text
    // entry the part of it before the cut.
    void truncatedFilesLoadWhatTheyHold() {
        ConfigSettings saved = handSettings();
        saved.DefMaxVel = QStringLiteral("123.456");
        saved.Baudrate = 4;
        const QByteArray full = writeConfigFile({}, saved);
        const ConfigSettings defaults = load({});
        for (qsizetype cut = 0; cut <= full.size(); ++cut) {
            const ConfigSettings s = load(full.left(cut));
            // A number cut short is a shorter number ("60" cut to "6").
            const auto fits = [](int got, int want, int fallback) {
                return got == want || got == fallback ||
                       QByteArray::number(want).startsWith(QByteArray::number(got));
            };
            QVERIFY2(fits(s.MaxCurrent, saved.MaxCurrent, defaults.MaxCurrent) &&
                         fits(s.Microstep, saved.Microstep, defaults.Microstep) &&
                         fits(s.Units, saved.Units, defaults.Units) &&
                         fits(s.Baudrate, saved.Baudrate, defaults.Baudrate),
                     qPrintable(QStringLiteral("cut at %1").arg(cut)));
            QVERIFY2(saved.DefMaxVel.startsWith(s.DefMaxVel) || s.DefMaxVel == defaults.DefMaxVel,
                     qPrintable(QStringLiteral("cut at %1: %2").arg(cut).arg(s.DefMaxVel)));
        }
        QCOMPARE(load(full), saved);
    }

    // Random bytes never break the reader, and a save over them gives a file that loads back what
    // was saved, keeping the random lines as they were.
    void randomBytesLoadAndSaveOver() {
        QRandomGenerator rng(20261209);
        for (int round = 0; round < 300; ++round) {
            const QByteArray junk = randomBytes(rng, int(rng.bounded(1, 4096)));
            ConfigSettings s = load(junk);
            QVERIFY(s.MaxCurrent >= 5 && s.MaxCurrent <= 100 && s.RedCurrent <= s.MaxCurrent);
            QVERIFY(s.DefMinVel.size() <= IniDocument::MaxValueLength);
            const QByteArray out = writeConfigFile(junk, handSettings());
            const qsizetype lastEnding = std::max(junk.lastIndexOf('\n'), junk.lastIndexOf('\r'));
            QVERIFY(out.startsWith(junk.left(lastEnding + 1)));
            QCOMPARE(load(out), handSettings());
        }
    }

    // A 10 MB line (a value, a comment, a section name) and a file of a million short lines load in
    // a few seconds at most, and a value is cut at the value limit.
    void veryLongLinesAndManyLines() {
        const QByteArray tenMb(10 * 1024 * 1024, '7');
        QElapsedTimer clock;
        clock.start();
        ConfigSettings s = load("[Notes]\r\n; " + tenMb + "\r\n[" + tenMb + "]\r\nx=" + tenMb + "\r\n" +
                                handFile("\r\n").replace("DefAcc=7", "DefAcc=" + tenMb));
        QCOMPARE(s.DefAcc.size(), IniDocument::MaxValueLength);
        QCOMPARE(s.MaxCurrent, 60);
        QCOMPARE(s.Units, 2);
        const QByteArray manyLines = QByteArray("x=1\n").repeated(1000000) + handFile("\n");
        s = load(manyLines);
        QCOMPARE(s.Kp, QString("9"));
        qInfo("10 MB lines and a million lines: %lld ms", qint64(clock.elapsed()));
        QVERIFY2(clock.elapsed() < 30000, "loading took far too long");
    }

    // On the page: each odd file loads or is refused with a box, and the window goes on working.
    void configurationPageTakesOrRefusesEveryFile() {
        QRandomGenerator rng(7);
        const QString fifo = path("pipe.kvt");
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QVERIFY(QDir().mkpath(path("folder.kvt")));
        const struct {
            const char* name;
            QByteArray bytes;
            const char* kind; // the last box: loaded or refused
        } files[] = {
            {"lf.kvt", handFile("\n"), "information"},
            {"cr.kvt", handFile("\r"), "information"},
            {"bom.kvt", "\xEF\xBB\xBF" + handFile("\r\n"), "information"},
            {"empty.kvt", {}, "information"},
            {"random.kvt", randomBytes(rng, 5000), "information"},
            {"long.kvt", "[OTHERconfig]\r\nKp=" + QByteArray(10 * 1024 * 1024, '4') + "\r\n", "information"},
            {"latin1.kvt", "[OTHERconfig]\r\nKp=\xe9\xf3\r\n", "information"},
        };
        rig::AppRig rig;
        connectQuietly(rig);
        for (const auto& f : files) {
            QVERIFY(writeAll(path(f.name), f.bytes));
            QCOMPARE(loadOnPage(rig, path(f.name)), QString(f.kind));
            QCOMPARE(rig.page(), ConfigPage);
        }
        QCOMPARE(rig.text("Edit_KP"), QString::fromUtf8("éó")); // Latin-1 read as Latin-1
        QVERIFY(rig.type("Edit_KP", "5"));

        // What is no file is refused with the read error, and the controls stay as they were.
        for (const QString& notAFile : {fifo, path("folder.kvt"), path("missing.kvt")}) {
            QString kind;
            QVERIFY2(finishesWithoutWriter(fifo, [&] { kind = loadOnPage(rig, notAFile); }),
                     "the load waits for a writer");
            QCOMPARE(kind, QString("error"));
            QCOMPARE(rig.dialogs().last().text, QString("Unable to read %1").arg(notAFile));
            QCOMPARE(rig.text("Edit_KP"), QString("5"));
        }
        // The window still answers and the controller is still polled.
        QVERIFY(rig.showPage(0));
        rig.clearWritten();
        rig.program().mainWindow->poller().poll();
        rig.settle();
        QVERIFY(codes(rig.written()).contains(97));
    }

    // Program files: random bytes, text, a pipe, a folder and a device load by the rules or are
    // refused, on the page and in the reader.
    void programFilesOfEveryKind() {
        using namespace kvt::program;
        QRandomGenerator rng(11);
        for (int round = 0; round < 500; ++round) {
            const QByteArray junk = randomBytes(rng, int(rng.bounded(0, 3301)));
            ProgramStore store;
            const int address = int(rng.bounded(16));
            int expected = 0;
            for (qsizetype at = 0; at + FileRecordSize <= junk.size(); at += FileRecordSize)
                expected += quint8(junk[at]) == address ? 1 : 0;
            QCOMPARE(takeProgram(junk, address, store), expected);
            QCOMPARE(store.length, quint32(expected));
        }

        const QString fifo = path("pipe.txp");
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        ProgramStore store;
        store.length = 5;
        ProgramFileLoad load;
        QVERIFY2(finishesWithoutWriter(fifo, [&] { load = loadProgramFile(fifo, 0, store); }),
                 "opening a pipe waits for a writer");
        QCOMPARE(load.result, LoadResult::NoProgram);
        QVERIFY(!load.read);
        QCOMPARE(store.length, 5u);
        QVERIFY(QDir().mkpath(path("folder.txp")));
        QCOMPARE(loadProgramFile(path("folder.txp"), 0, store).result, LoadResult::NoProgram);
        QCOMPARE(loadProgramFile(QStringLiteral("/dev/zero"), 0, store).result, LoadResult::NoProgram);
        QCOMPARE(store.length, 5u);
        QVERIFY(writeAll(path("huge.txp"), QByteArray(10 * 1024 * 1024, '\0')));
        QCOMPARE(loadProgramFile(path("huge.txp"), 0, store).result, LoadResult::TooLarge);

        // Through the page: a text file is read as records (none for address 0), a pipe is not.
        QVERIFY(
            writeAll(path("text.txp"), "\xEF\xBB\xBFprogram\r\nline two\nthree\r" + QByteArray(200, 'x')));
        rig::AppRig rig;
        rig.plugController("KVT318");
        rig.settle();
        QVERIFY(rig.showPage(ProgramPage));
        openProgram(rig, path("text.txp"));
        QCOMPARE(rig.text("EditProgSize"), QString("0"));
        QCOMPARE(rig.text("LabelFileName"), QString("text.txp"));
        QVERIFY(writeAll(path("random.txp"), randomBytes(rng, 3300)));
        openProgram(rig, path("random.txp"));
        QCOMPARE(rig.text("LabelFileName"), QString("random.txp"));
        QVERIFY2(finishesWithoutWriter(fifo, [&] { openProgram(rig, fifo); }), "the page waits for a writer");
        QCOMPARE(rig.text("LabelFileName"), QString("random.txp")); // not taken
        // Sending reloads the current file: a pipe is reported as no program, nothing is sent.
        rig.clearDialogs();
        rig.clearWritten();
        QVERIFY2(finishesWithoutWriter(fifo,
                                       [&] {
                                           QVERIFY(rig.click("btn_SendProg"));
                                           rig.settle();
                                       }),
                 "the send waits for a writer");
        QCOMPARE(rig.dialogs().size(), 1);
        QVERIFY(!codes(rig.written()).contains(229));
        QVERIFY(rig.showPage(0));
    }

    // A save killed half-way leaves the old file byte for byte, and the next save works.
    void killedSaveKeepsTheOldFile_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("configuration") << "config";
        QTest::newRow("program") << "program";
    }
    void killedSaveKeepsTheOldFile() {
        QFETCH(QString, kind);
        const bool config = kind == QLatin1String("config");
        QTemporaryDir dir;
        const QString file = dir.filePath(config ? "a.kvt" : "a.txp");
        using Commands = QList<kvt::program::AddressedCommand>;
        const QByteArray old = config
                                   ? "[Notes]\r\nkept=yes\r\n" + writeConfigFile({}, ConfigSettings{})
                                   : kvt::program::encodeProgramFile(Commands{{0, {4}}, {0, {10}}, {3, {6}}});
        QVERIFY(writeAll(file, old));
        const QStringList before = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);

        for (const int cut : {1, 64, 300}) {
            const ChildEnd end = runInterruptedSave(kind, file, cut);
            QVERIFY2(end.killed, qPrintable(QStringLiteral("cut at %1: exit %2").arg(cut).arg(end.exitCode)));
            QCOMPARE(readAll(file), old);
        }
        // Whatever the killed saves left beside the file does not stand in the way of the next.
        const QStringList after = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
        qInfo("left beside the file after three killed saves: %s",
              qPrintable(QStringList(after).join(' ') + " (before: " + before.join(' ') + ")"));
        if (config) {
            QCOMPARE(saveConfigFile(file, handSettings()), std::nullopt);
            QVERIFY(readAll(file).startsWith("[Notes]\r\nkept=yes\r\n"));
            QCOMPARE(load(readAll(file)), handSettings());
        } else {
            const QByteArray fresh = kvt::program::encodeProgramFile(Commands{{0, {15, 1}}});
            QCOMPARE(kvt::program::writeProgramFile(file, fresh), std::nullopt);
            QCOMPARE(readAll(file), fresh);
        }
        // No file appeared that a user would take for a configuration or program file.
        for (const QString& name : QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System))
            QVERIFY2(name == QFileInfo(file).fileName() || !name.endsWith(config ? "kvt" : ".txp"),
                     qPrintable(name));
        // A helper that is not cut writes the whole file: the cut above was real.
        QCOMPARE(runInterruptedSave(kind, file, 1 << 20).exitCode, 2);
        QVERIFY(readAll(file) != old);
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
    BadFilesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_bad_files.moc"
