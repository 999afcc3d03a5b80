// SPDX-License-Identifier: GPL-3.0-or-later
// The controller unplugged at every step of the exchanges of the main window, and while a box,
// the progress window, the encoder test or the trend window is open; and kvtctl's cable pulled
// at every step of a send. Afterwards the application shows the not-connected state, keeps what
// it displayed, has let go of the device, and works again once the controller is back.
#include "Reliability.h"
#include "trend/TrendRig.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

using namespace testing;

namespace {

const QString Data = QStringLiteral(KVT_PROGRAM_DATA "/");

kvt::sim::Faults vanishingAfter(int commands) {
    kvt::sim::Faults faults;
    faults.vanishAfterCommands = commands;
    return faults;
}

// A connected KVT318 with the Program page shown and the 300-command sample file opened.
int connectWithFullProgram(rig::AppRig& rig) {
    const int id = rig.plugController("KVT318");
    rig.settle();
    rig.showPage(ProgramPage);
    rig.answerFile(Data + "full_300.txp");
    rig.click("btn_ProgOpen");
    rig.settle();
    rig.clearDialogs();
    return id;
}

// One whole send of the opened program: it completes and OK closes the window.
void expectSendCompletes(rig::AppRig& rig, int id) {
    rig.sim().setFaults(id, {});
    QVERIFY(rig.click("btn_SendProg"));
    rig.settle(50);
    QCOMPARE(rig.text("Message"), QStringLiteral("Program przesłany."));
    QCOMPARE(rig.sim().controller(id)->programLength(), 300);
    QVERIFY(rig.click("BtnOK"));
    QVERIFY(!rig.visible("TFormProgress"));
}

void replugAndExpectWorking(rig::AppRig& rig, int id) {
    rig.replug(id);
    rig.settle();
    expectWorking(rig);
}

} // namespace

class UnplugTest : public QObject {
    Q_OBJECT

private slots:
    // The send of a 300-command program, cut after the controller handled 229 and k requests'
    // answers (k = 0 ... 300). The progress window stays modal with OK disabled until its close
    // box; nothing goes to the vanished device; after the replug the next send completes.
    void unplugAtEveryStepOfASend() {
        rig::AppRig rig;
        const int threads = threadCount();
        const int id = connectWithFullProgram(rig);
        for (int k = 0; k <= 300; ++k) {
            holdPoll(rig);
            rig.clearWritten();
            rig.sim().setFaults(id, vanishingAfter(k + 1));
            QVERIFY(rig.click("btn_SendProg"));
            rig.settle();
            const QList<int> sent = codes(rig.written());
            QCOMPARE(sent.size(), k + 1);
            QCOMPARE(sent.count(230), k);
            QCOMPARE(failedWrites(rig), 0);
            QVERIFY2(rig.visible("TFormProgress"), qPrintable(QString::number(k)));
            QVERIFY(rig.widget("TFormProgress")->isModal());
            QVERIFY(!rig.enabled("BtnOK"));
            CHECKED(expectReleased(rig, id, threads));
            QVERIFY(!rig.click("btn_ProgStart")); // the main window waits for the progress window
            rig.widget("TFormProgress")->close();
            QVERIFY(rig.click("btn_ProgStart")); // usable again; nothing is sent while unplugged
            rig.settle();
            QCOMPARE(failedWrites(rig), 0);
            rig.replug(id);
            rig.settle();
            QCOMPARE(rig.statusPanel(1), ConnectedTo + "KVT318");
            if (k % 60 == 0 || k == 300) {
                CHECKED(expectWorking(rig));
                CHECKED(expectSendCompletes(rig, id));
            }
        }
    }

    // The read-back of a 300-command program (103, then 104 for records 0 ... 299 and the
    // closing index 300), cut after every command of its first and last twenty and after every
    // fifth between (each cut replays the exchange up to it, so all 302 would cost as much as
    // the send's sweep again for steps that take the same path).
    void unplugAtEveryStepOfAReadBack() {
        rig::AppRig rig;
        const int threads = threadCount();
        const int id = connectWithFullProgram(rig);
        CHECKED(expectSendCompletes(rig, id));
        for (int k = 0; k <= 301; k += (k < 20 || k >= 280) ? 1 : 5) {
            holdPoll(rig);
            rig.clearWritten();
            rig.sim().setFaults(id, vanishingAfter(k + 1));
            QVERIFY(rig.click("JvXPButton3"));
            rig.settle();
            QCOMPARE(rig.written().size(), k + 1);
            QCOMPARE(failedWrites(rig), 0);
            CHECKED(expectReleased(rig, id, threads));
            // The read-back's window does not hold the main window.
            QCOMPARE(rig.visible("TFormProgress"), k >= 1);
            if (k >= 1)
                QVERIFY(!rig.enabled("BtnOK"));
            QVERIFY(rig.click("btn_ProgStart"));
            if (rig.visible("TFormProgress"))
                rig.widget("TFormProgress")->close();
            rig.replug(id);
            rig.settle();
            QCOMPARE(rig.statusPanel(1), ConnectedTo + "KVT318");
        }
        CHECKED(expectWorking(rig));
        rig.clearWritten();
        QVERIFY(rig.click("JvXPButton3"));
        rig.settle(50);
        QCOMPARE(rig.text("Message"), QStringLiteral("Odebrano program ze sterownika"));
        QCOMPARE(rig.text("EditProgSize"), QStringLiteral("300"));
        CHECKED(expectSendCompletes(rig, id));
    }

    // Unplugged as the poll asks for the live status: the values shown stay as they were.
    void unplugDuringThePoll() {
        rig::AppRig rig;
        const int threads = threadCount();
        const int id = rig.plugController("KVT318");
        rig.sim().controller(id)->setTemperature(41);
        rig.settle(450);
        const QStringList shown = {"label_UcTemp", "Label_Vzas", "Text_Xact", "Edit_MotorStatus"};
        QStringList before;
        for (const QString& name : shown)
            before << rig.text(name);
        QVERIFY(before[0].contains("41"));
        rig.clearWritten();
        rig.sim().setFaults(id, vanishingAfter(1));
        rig.settle(250);
        QCOMPARE(codes(rig.written()).value(0), 97);
        CHECKED(expectReleased(rig, id, threads));
        for (int i = 0; i < shown.size(); ++i)
            QCOMPARE(rig.text(shown[i]), before[i]);
        QVERIFY(rig.showPage(ProgramPage)); // the pages stay enabled
        rig.clearWritten();
        QVERIFY(rig.click("btn_ProgStart"));
        rig.settle(250);
        QVERIFY(rig.written().isEmpty());
        CHECKED(replugAndExpectWorking(rig, id));
    }

    // A box is open when the controller goes: closing it afterwards sends its follow-ups
    // neither to the released device nor to the controller connected meanwhile.
    void unplugWhileAnAcknowledgementBoxIsOpen() {
        rig::AppRig rig;
        const int threads = threadCount();
        const int id = connectQuietly(rig);
        rig.holdDialogs(true);
        QVERIFY(rig.click("btn_SaveConfigSettings")); // acknowledged by 236: box, then 100 and 99
        rig.settle();
        QCOMPARE(rig.dialogService().openCount(), 1);
        rig.unplug(id);
        rig.settle();
        CHECKED(expectReleased(rig, id, threads));
        rig.replug(id); // the same controller, as a new device
        rig.settle();
        QCOMPARE(rig.statusPanel(1), ConnectedTo + "KVT318");
        const int other = rig.plugController("KVT317");
        rig.settle();
        QCOMPARE(rig.statusPanel(1), ConnectedTo + "KVT317");
        holdPoll(rig);
        rig.clearWritten();
        QVERIFY(rig.closeDialog(true));
        rig.settle(250);
        QVERIFY(rig.written().isEmpty());
        rig.holdDialogs(false);
        rig.unplug(other);
        rig.settle();
        expectWorking(rig);
        // Its own acknowledgement, on the other hand, is followed up as always.
        rig.showPage(ConfigPage);
        rig.settle();
        rig.clearWritten();
        QVERIFY(rig.click("btn_SaveConfigSettings"));
        rig.settle();
        QCOMPARE(codes(rig.written()), (QList<int>{236, 100, 99}));
    }

    // The encoder test window (modal) is open and the revolution under way.
    void unplugWhileTheEncoderTestRuns() {
        rig::AppRig rig;
        const int threads = threadCount();
        const int id = connectQuietly(rig);
        QVERIFY(rig.click("RadioButton_EncINKR"));
        QVERIFY(rig.type("Edit_EncResol", QStringLiteral("1000")));
        QVERIFY(rig.click("btn_SaveConfigSettings"));
        rig.settle(100);
        QVERIFY(rig.click("btn_EncoderTest"));
        rig.settle();
        QVERIFY(rig.click("TForm3.btn_EncoderTest"));
        rig.settle(300);
        const QString count = rig.text("Edit_EncoderVal");
        QVERIFY(count != QStringLiteral("0"));
        rig.unplug(id);
        rig.settle(1200);
        CHECKED(expectReleased(rig, id, threads));
        QCOMPARE(rig.text("Memo_Enc"), QStringLiteral("Test rozpoczęty"));
        QCOMPARE(rig.text("Edit_EncoderVal"), count);
        QVERIFY(rig.click("TForm3.btn_EncoderTest")); // START still answers; nothing is sent
        rig.settle();
        rig.replug(id);
        rig.settle();
        QVERIFY(rig.click("TForm3.btn_EncoderTest"));
        rig.settle(1200);
        QVERIFY(rig.text("Memo_Enc").startsWith(QStringLiteral("Enkoder podłaczony poprawnie.")));
        QVERIFY(rig.click("TForm3.JvXPButton1"));
        rig.settle();
        expectWorking(rig);
    }

    // Unplugged while the trend window records (real time: the trend samples at its own
    // period): the recording goes on across the gap and the poll comes back with the device.
    void unplugWhileTheTrendWindowRecords() {
        QTemporaryDir dir;
        rig::AppRig rig;
        const int threads = threadCount();
        const int id = rig.plugController("KVT318");
        rig.settle(250);
        kvt::trend::TrendWindow* trend = openTrends(rig);
        QVERIFY(trend);
        rig.answerFile(dir.filePath("run.csv"));
        trend->btn_TrendRecord->click();
        rig.settle(300);
        QVERIFY(trend->run().recorder().isRecording());
        const qsizetype before = trend->run().samples().size();
        rig.unplug(id);
        rig.settle(300);
        CHECKED(expectReleased(rig, id, threads));
        QVERIFY(trend->run().recorder().isRecording());
        QVERIFY(rig.click("Btn_MotorEnable"));
        rig.replug(id);
        rig.settle(400);
        QVERIFY(trend->run().samples().size() > before);
        QVERIFY(pollTimer(rig)->isActive());
        trend->btn_TrendRecord->click();
        rig.settle();
        QVERIFY(!trend->run().recorder().isRecording());
        trend->close();
        rig.settle();
        expectWorking(rig);
    }

    // kvtctl's controller vanishes after it handled n commands of a 20-command send, for every
    // n: each run ends promptly with the time-out code and one line naming the cable; the next
    // run, with the controller back, sends the program.
    void kvtctlUnplugAtEveryStepOfASend() {
        QTemporaryDir dir;
        QByteArray file;
        for (int i = 0; i < 20; ++i) {
            file.append('\0');
            for (int b = 0; b < 10; ++b)
                file.append(char((i * 13 + b * 5 + 1) & 0xFF));
        }
        QFile f(dir.filePath("p.txp"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(file);
        f.close();
        const auto run = [&](int unplugAfter) {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("LC_ALL", "C");
            env.insert("LANG", "C");
            env.remove("LANGUAGE");
            env.remove("KVTCTL_SIM_UNPLUG_AFTER");
            if (unplugAfter > 0)
                env.insert("KVTCTL_SIM_UNPLUG_AFTER", QString::number(unplugAfter));
            auto p = std::make_unique<QProcess>();
            p->setProcessEnvironment(env);
            p->start(QStringLiteral(KVTCTL_PATH), {"--simulate", "--sim-state", dir.filePath("state.json"),
                                                   "program", "send", dir.filePath("p.txp")});
            if (!p->waitForFinished(20000)) {
                p->kill();
                p->waitForFinished();
            }
            return p;
        };
        // Cut after n commands, n = 1, 2, ...: every run fails the same way until n passes the
        // last command of the send (229 and the 20 answers at least), which then completes.
        int n = 1;
        for (;; ++n) {
            QElapsedTimer clock;
            clock.start();
            const auto cut = run(n);
            QVERIFY2(clock.elapsed() < 15000, qPrintable(QString::number(n)));
            QCOMPARE(cut->exitStatus(), QProcess::NormalExit);
            if (cut->exitCode() == 0)
                break;
            const QString error = QString::fromUtf8(cut->readAllStandardError());
            QVERIFY2(cut->exitCode() == 5,
                     qPrintable(QString("%1: %2 %3").arg(n).arg(cut->exitCode()).arg(error)));
            QCOMPARE(error.count('\n'), 1);
            QVERIFY2(error.contains("vanished") && error.contains("USB"), qPrintable(error));
            if (n <= 21) // then the read-back that verifies the send
                QVERIFY2(error.contains("while sending the program"), qPrintable(error));
            QVERIFY(n < 60);
        }
        QVERIFY(n > 21);
        qInfo("kvtctl: %d runs cut, each ended with exit code 5", n - 1);
        const auto whole = run(0);
        QCOMPARE(whole->exitCode(), 0);
    }
};

int main(int argc, char** argv) {
    // The trend window's remembered choices go to a folder of the test's own.
    QTemporaryDir configHome;
    qputenv("XDG_CONFIG_HOME", configHome.path().toUtf8());
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
    UnplugTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_unplug.moc"
