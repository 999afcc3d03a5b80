// SPDX-License-Identifier: GPL-3.0-or-later
// The program run as a user runs it, with a simulated controller: what it keeps of the simulated
// controller survives the ways a session ends it, and a state path that is no file is refused.

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/stat.h>

class TestAppProcess : public QObject {
    Q_OBJECT

    static void startProgram(QProcess& p, const QString& statePath) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(KVT_PROGRAM_PATH), {"--simulate=KVT318", "--sim-state", statePath});
    }

private slots:
    // Ended by SIGTERM, SIGINT or SIGHUP, the program closes as if its window were closed and
    // writes the simulated controller's memory.
    void endingSignalsSaveTheState_data() {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGHUP") << SIGHUP;
    }
    void endingSignalsSaveTheState() {
        QFETCH(int, signalNumber);
        QTemporaryDir dir;
        const QString state = dir.filePath("state.json");
        QProcess p;
        startProgram(p, state);
        QVERIFY(p.waitForStarted());
        // The lock is taken once the signals are handled and before the window is built.
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(state + ".lock"), 20000);
        QVERIFY(!QFile::exists(state));
        ::kill(pid_t(p.processId()), signalNumber);
        QVERIFY(p.waitForFinished(20000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 0);
        QFile saved(state);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QVERIFY(saved.readAll().contains("\"KVT318\""));
        QVERIFY(!QFile::exists(state + ".lock"));
    }

    // A pipe in the state file's place would block the start for ever: refused at once.
    void stateThatIsNoFileIsRefused() {
        QTemporaryDir dir;
        const QString fifo = dir.filePath("fifo");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QProcess p;
        startProgram(p, fifo);
        QVERIFY(p.waitForFinished(20000));
        QCOMPARE(p.exitCode(), 1);
        QVERIFY2(p.readAllStandardError().contains("is not a regular file"), "no reason given");
    }
};

QTEST_GUILESS_MAIN(TestAppProcess)
#include "test_app_process.moc"
