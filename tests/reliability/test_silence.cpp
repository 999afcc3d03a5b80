// SPDX-License-Identifier: GPL-3.0-or-later
// A controller that falls silent at each stage of a program send and of a read-back, and one
// that asks out of order, twice, beyond the program memory, or answers a read-back with records
// that never reach its length. The progress window waits, closable; nothing is retried; every
// request gets the record it asks for; no exchange goes on without end.
#include "Reliability.h"

using namespace testing;

namespace {

const QString Data = QStringLiteral(KVT_PROGRAM_DATA "/");
const QString Sent = QStringLiteral("Program przesłany.");

QByteArray index16(int code, int index) {
    return bytes({code, (index >> 8) & 0xFF, index & 0xFF});
}

// Command 230 as command() shows it: without its trailing zeros.
QByteArray answer(int index, const QByteArray& record) {
    QByteArray c = index16(230, index) + record;
    while (c.endsWith('\0'))
        c.chop(1);
    return c;
}

// A connected KVT318 that answers nothing, the Program page shown, `file` opened, the poll held.
int connectSilent(rig::AppRig& rig, const QString& file) {
    const int id = rig.plugController("KVT318");
    rig.settle();
    rig.showPage(ProgramPage);
    rig.answerFile(file);
    rig.click("btn_ProgOpen");
    rig.settle();
    kvt::sim::Faults silent;
    silent.silent = true;
    rig.sim().setFaults(id, silent);
    holdPoll(rig);
    rig.clearWritten();
    rig.clearDialogs();
    return id;
}

// The main window takes a click again and nothing else went wrong.
void expectUsable(rig::AppRig& rig) {
    QVERIFY(rig.click("btn_ProgPause"));
    rig.settle();
    QVERIFY(rig.dialogs().isEmpty());
    QCOMPARE(rig.statusPanel(1), ConnectedTo + "KVT318");
}

// Plays a controller that answers each 104 with the record `replyIndex(n)` for the n-th request,
// at most `limit` times; returns how many it answered.
template <typename F> int serveReadBack(rig::AppRig& rig, F replyIndex, int limit) {
    int replies = 0;
    while (replies < limit && commandsWithCode(rig.written(), 104).size() > replies) {
        QByteArray reply = index16(104, replyIndex(replies));
        reply.append(QByteArray(10, char(replies & 0x7F)));
        rig.inject(reply);
        rig.settle();
        ++replies;
    }
    return replies;
}

} // namespace

class SilenceTest : public QObject {
    Q_OBJECT

private slots:
    // Silent after 229, and after 1, 2, 150, 299 and all 300 requests (the closing request 300
    // never comes): each request answered once, nothing more is sent however long the window
    // waits, OK stays disabled and the close box ends the wait.
    void silenceAtEachStageOfASend() {
        rig::AppRig rig;
        const QList<QByteArray> records = programOf(readFile(Data + "full_300.txp"));
        QCOMPARE(records.size(), 300);
        connectSilent(rig, Data + "full_300.txp");
        for (int stage : {0, 1, 2, 150, 299, 300}) {
            rig.clearWritten();
            QVERIFY(rig.click("btn_SendProg"));
            for (int i = 0; i < stage; ++i)
                rig.inject(index16(230, i));
            rig.settle(300);
            const QList<QByteArray> answers = commandsWithCode(rig.written(), 230);
            QCOMPARE(answers.size(), stage);
            for (int i = 0; i < stage; ++i)
                QCOMPARE(answers[i], answer(i, records[i]));
            rig.settle(300);
            QCOMPARE(rig.written().size(), stage + 1); // 229 and the answers: nothing retried
            QVERIFY(rig.visible("TFormProgress"));
            QVERIFY(rig.widget("TFormProgress")->isModal());
            QVERIFY(!rig.enabled("BtnOK"));
            QCOMPARE(rig.text("Message"), QStringLiteral("Trwa programowanie sterownika.."));
            QVERIFY(!rig.click("btn_ProgPause"));
            rig.widget("TFormProgress")->close();
            CHECKED(expectUsable(rig));
        }
    }

    // Silent before the length (103), and after the length and 0, 1, 150 and 299 records: one
    // request outstanding at a time, never repeated; the window does not hold the main window.
    void silenceAtEachStageOfAReadBack() {
        rig::AppRig rig;
        connectSilent(rig, Data + "full_300.txp");
        QVERIFY(rig.click("JvXPButton3"));
        rig.settle(300);
        QCOMPARE(codes(rig.written()), QList<int>{103});
        QVERIFY(!rig.visible("TFormProgress"));
        CHECKED(expectUsable(rig));

        rig.clearWritten();
        rig.inject(index16(103, 300));
        rig.settle(300);
        QVERIFY(rig.visible("TFormProgress"));
        QVERIFY(!rig.widget("TFormProgress")->isModal());
        int given = 0;
        for (int stage : {0, 1, 150, 299}) {
            for (; given < stage; ++given) {
                rig.inject(index16(104, given) + QByteArray(10, '\x05'));
                rig.settle();
            }
            rig.settle(300);
            QCOMPARE(commandsWithCode(rig.written(), 104).size(), stage + 1);
            QVERIFY(!rig.enabled("BtnOK"));
            CHECKED(expectUsable(rig));
        }
        rig.widget("TFormProgress")->close();
        QVERIFY(!rig.visible("TFormProgress"));
        CHECKED(expectUsable(rig));
    }

    // Requests repeated and out of order are each answered with the record they ask for, also
    // after the send completed.
    void duplicatedAndOutOfOrderRequests() {
        rig::AppRig rig;
        const QList<QByteArray> records = programOf(readFile(Data + "full_300.txp"));
        connectSilent(rig, Data + "full_300.txp");
        QVERIFY(rig.click("btn_SendProg"));
        const QList<int> asked = {5, 5, 0, 299, 2, 2, 150, 0, 298, 299};
        for (int index : asked)
            rig.inject(index16(230, index));
        rig.settle();
        QList<QByteArray> answers = commandsWithCode(rig.written(), 230);
        QCOMPARE(answers.size(), asked.size());
        for (int i = 0; i < asked.size(); ++i)
            QCOMPARE(answers[i], answer(asked[i], records[asked[i]]));
        QVERIFY(!rig.enabled("BtnOK"));
        rig.inject(index16(230, 300)); // past the last: complete
        rig.inject(index16(230, 300));
        rig.settle();
        QCOMPARE(rig.text("Message"), Sent);
        QVERIFY(rig.enabled("BtnOK"));
        rig.clearWritten();
        rig.inject(index16(230, 7)); // late: still answered
        rig.settle();
        QCOMPARE(commandsWithCode(rig.written(), 230), QList<QByteArray>{answer(7, records[7])});
        QVERIFY(rig.click("BtnOK"));
        CHECKED(expectUsable(rig));
    }

    // Requests above the program memory are ignored whatever the length; a request between
    // the length and the memory's end completes the send.
    void requestsAbove300() {
        rig::AppRig rig;
        connectSilent(rig, Data + "full_300.txp");
        QVERIFY(rig.click("btn_SendProg"));
        rig.inject(index16(230, 10));
        rig.settle();
        rig.clearWritten();
        for (int index : {301, 302, 1000, 0x7FFF, 0xFFFF})
            rig.inject(index16(230, index));
        rig.settle();
        QVERIFY(rig.written().isEmpty());
        QCOMPARE(rig.widget("ProgressBar")->property("value").toInt(), 10);
        QVERIFY(!rig.enabled("BtnOK"));
        rig.widget("TFormProgress")->close();

        // A 7-command program: a request for 250 is past its end.
        rig.answerFile(Data + "short_address0.txp");
        QVERIFY(rig.click("btn_ProgOpen"));
        rig.settle();
        rig.clearDialogs();
        QVERIFY(rig.click("btn_SendProg"));
        rig.inject(index16(230, 301));
        rig.settle();
        QVERIFY(!rig.enabled("BtnOK"));
        rig.inject(index16(230, 250));
        rig.settle();
        QCOMPARE(rig.text("Message"), Sent);
        QCOMPARE(commandsWithCode(rig.written(), 230).size(), 0);
        QVERIFY(rig.click("BtnOK"));
        CHECKED(expectUsable(rig));
    }

    // A controller whose records never reach the length it reported: the read-back stops asking
    // by itself and leaves the window open, closable.
    void readBackThatNeverReachesTheLength() {
        rig::AppRig rig;
        connectSilent(rig, Data + "full_300.txp");
        // Records 0..9 over and over.
        rig.inject(index16(103, 300));
        rig.settle();
        int replies = serveReadBack(
            rig, [](int n) { return n % 10; }, 2000);
        QCOMPARE(replies, 11);
        QCOMPARE(commandsWithCode(rig.written(), 104).size(), 11);
        QVERIFY(rig.visible("TFormProgress"));
        QVERIFY(!rig.enabled("BtnOK"));
        CHECKED(expectUsable(rig));
        rig.widget("TFormProgress")->close();

        // Stuck on one record.
        rig.clearWritten();
        rig.inject(index16(103, 300));
        rig.settle();
        replies = serveReadBack(
            rig, [](int) { return 4; }, 2000);
        QVERIFY(replies <= 2);
        QCOMPARE(commandsWithCode(rig.written(), 104).size(), replies);
        rig.widget("TFormProgress")->close();

        // A length far beyond the memory, records in order: the store is full at 300.
        rig.clearWritten();
        rig.inject(index16(103, 0xFFFF));
        rig.settle();
        replies = serveReadBack(
            rig, [](int n) { return n; }, 2000);
        QCOMPARE(replies, 301);
        QCOMPARE(rig.text("Message"), QStringLiteral("Odebrano program ze sterownika"));
        QVERIFY(rig.click("BtnOK"));

        // Records past the end that nobody asked for: taken, never followed by a request.
        rig.clearWritten();
        for (int i = 0; i < 200; ++i)
            rig.inject(index16(104, 300 + i) + QByteArray(10, '\x01'));
        rig.settle();
        QVERIFY(commandsWithCode(rig.written(), 104).isEmpty());
        rig.widget("TFormProgress")->close();
        CHECKED(expectUsable(rig));
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
    SilenceTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_silence.moc"
