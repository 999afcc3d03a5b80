// SPDX-License-Identifier: GPL-3.0-or-later
// The Program page on the simulated controller: program files, sending and reading back, and the
// editor launch.
#include "ProgramPageRig.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "program/ProgramTransfer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace testing;

namespace {

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

// The commands of a program file's records of address 0, as the controller stores them.
QList<QByteArray> programOf(const QByteArray& file) {
    QList<QByteArray> records;
    for (qsizetype at = 0; at + 11 <= file.size(); at += 11)
        if (file[at] == 0)
            records << file.mid(at + 1, 10);
    return records;
}

QString listingOf(const QList<QByteArray>& records) {
    QStringList lines;
    for (const QByteArray& r : records) {
        QString line;
        for (char c : r)
            line += QString::number(quint8(c)) + "  ";
        lines << line;
    }
    return lines.join('\n');
}

// A report carrying `code` and a 16-bit index, high byte first.
QByteArray indexed(int code, int index) {
    return bytes({code, index >> 8, index & 0xFF});
}

} // namespace

class ProgramPageTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    const QString appDir_ = QCoreApplication::applicationDirPath() + "/";

private slots:
    void cleanup() { QDir(appDir_ + "TX_PROG").removeRecursively(); }

    void startUpLoadsTheDefaultProgramFile() {
        {
            rig::AppRig rig;
            QCOMPARE(rig.text("EditProgSize"), QString("0"));
            QCOMPARE(rig.text("LabelFileName"), QString("Brak pliku"));
            QVERIFY(!rig.enabled("btn_SaveProg"));
            QCOMPARE(rig.statusPanel(0),
                     QDir::toNativeSeparators(appDir_ + "TX_PROG/build/program_data.txp"));
        }
        writeFile(appDir_ + "TX_PROG/build/program_data.txp", readFile(Data + "interleaved.txp"));
        rig::AppRig rig;
        QCOMPARE(rig.text("EditProgSize"), QString("7"));
        QCOMPARE(rig.text("EditProgMemory"), QString("2%"));
        QCOMPARE(rig.text("LabelFileName"), QString("program_data.txp"));
        QVERIFY(rig.enabled("btn_SaveProg"));
        QVERIFY(rig.dialogs().isEmpty());
    }

    void openAndSelectAddress() {
        rig::AppRig rig;
        rig.showPage(ProgramPage);
        QVERIFY(rig.click("btn_ProgOpen")); // cancelled: nothing changes
        QCOMPARE(rig.dialogs().value(0).kind, QString("open"));
        QCOMPARE(rig.dialogs().value(0).text, QString("Plik programu TX-PROG|*.txp"));
        QCOMPARE(rig.text("LabelFileName"), QString("Brak pliku"));

        rig.answerFile(Data + "interleaved.txp");
        QVERIFY(rig.click("btn_ProgOpen"));
        rig.settle();
        QCOMPARE(rig.text("EditProgSize"), QString("7"));
        QCOMPARE(rig.statusPanel(0), QDir::toNativeSeparators(Data + "interleaved.txp"));
        QCOMPARE(rig.items("ComboBoxModulNumer").size(), 16);
        QVERIFY(rig.choose("ComboBoxModulNumer", 2));
        QCOMPARE(rig.text("EditProgSize"), QString("0"));
        QCOMPARE(rig.text("EditProgMemory"), QString("0%"));
        QVERIFY(rig.enabled("btn_SaveProg"));
        QVERIFY(rig.choose("ComboBoxModulNumer", 1));
        QCOMPARE(rig.text("EditProgSize"), QString("3"));

        // A file larger than 3300 bytes is not taken: the page keeps what it showed.
        rig.answerFile(Data + "oversize_3301.txp");
        QVERIFY(rig.click("btn_ProgOpen"));
        rig.settle();
        QCOMPARE(rig.text("EditProgSize"), QString("3"));
        QCOMPARE(rig.text("LabelFileName"), QString("interleaved.txp"));
        QVERIFY(rig.dialogs().size() == 3); // three open dialogs, no message
    }

    void sendShortProgram() {
        rig::AppRig rig;
        const QString file = Data + "short_address0.txp";
        const int id = connectWithFile(rig, file);
        QVERIFY(rig.click("btn_SendProg"));
        QVERIFY(rig.visible("TFormProgress"));
        QCOMPARE(rig.text("Message"), QString("Trwa programowanie sterownika.."));
        QVERIFY(!rig.enabled("BtnOK"));
        QVERIFY(!rig.click("btn_ProgOpen")); // the main window waits for the progress window
        rig.settle(50);
        QCOMPARE(rig.text("Message"), QString("Program przesłany."));
        QVERIFY(rig.enabled("BtnOK"));
        auto* bar = rig.widget("ProgressBar");
        QCOMPARE(bar->property("value").toInt(), 7);
        QCOMPARE(bar->property("maximum").toInt(), 7);

        const QList<QByteArray> records = programOf(readFile(file));
        QCOMPARE(controller(rig, id).programLength(), 7);
        for (int i = 0; i < 7; ++i)
            QCOMPARE(controller(rig, id).programRecord(i), records[i]);
        const QList<QByteArray> sent = rig.written();
        QCOMPARE(commandsWithCode(sent, 229), QList<QByteArray>{bytes({229, 0, 7})});
        QCOMPARE(commandsWithCode(sent, 230).size(), 7);

        QVERIFY(rig.click("BtnOK"));
        QVERIFY(!rig.visible("TFormProgress"));
        QVERIFY(rig.click("btn_ProgStart")); // the main window is usable again
    }

    void sendReportsFileProblemsAndReloadsTheFile() {
        rig::AppRig rig;
        const QString path = dir_.filePath("changing.txp");
        writeFile(path, readFile(Data + "short_address0.txp"));
        const int id = connectWithFile(rig, path);

        // The file changes on disk after it was opened: the send takes its new content.
        const QByteArray full = readFile(Data + "full_300.txp");
        writeFile(path, full.left(11 * 12));
        QVERIFY(rig.click("btn_SendProg"));
        rig.settle(50);
        QCOMPARE(controller(rig, id).programLength(), 12);
        QCOMPARE(rig.text("EditProgSize"), QString("12"));
        QVERIFY(rig.click("BtnOK"));

        const auto refused = [&](const QByteArray& content, const QString& message) {
            writeFile(path, content);
            rig.clearDialogs();
            rig.clearWritten();
            QVERIFY(rig.click("btn_SendProg"));
            rig.settle();
            QCOMPARE(rig.dialogs().size(), 1);
            QCOMPARE(rig.dialogs()[0].kind, QString("information"));
            QCOMPARE(rig.dialogs()[0].text, message);
            QCOMPARE(rig.dialogs()[0].caption, QString("Program"));
            QVERIFY(!rig.visible("TFormProgress"));
            QVERIFY(commandsWithCode(rig.written(), 229).isEmpty());
        };
        refused(full + QByteArray(1, '\0'), "Program przekracza maksymalną długosc (300 komend)");
        refused(QByteArray::fromHex("03") + QByteArray(10, 1), "Brak programu do wyslania");
    }

    void silentControllerLeavesTheWindowOpen() {
        rig::AppRig rig;
        const int id = connectWithFile(rig, Data + "short_address0.txp");
        kvt::sim::Faults silent;
        silent.silent = true;
        rig.sim().setFaults(id, silent);
        QVERIFY(rig.click("btn_SendProg"));
        rig.settle(300);
        // Two requests arrive, then nothing more: both answered, the window waits.
        rig.inject(bytes({230, 0, 0}));
        rig.inject(bytes({230, 0, 1}));
        rig.settle(300);
        QCOMPARE(commandsWithCode(rig.written(), 230).size(), 2);
        QCOMPARE(rig.widget("ProgressBar")->property("value").toInt(), 1);
        QVERIFY(rig.visible("TFormProgress"));
        QVERIFY(!rig.enabled("BtnOK"));
        // The close box ends the wait; a later request is still answered.
        rig.widget("TFormProgress")->close();
        QVERIFY(rig.click("btn_ProgPause"));
        rig.clearWritten();
        rig.inject(bytes({230, 0, 2}));
        rig.settle();
        QCOMPARE(commandsWithCode(rig.written(), 230).size(), 1);
    }

    void unplugDuringTransfers() {
        rig::AppRig rig;
        const int id = connectWithFile(rig, Data + "full_300.txp");
        QVERIFY(rig.click("btn_SendProg"));
        rig.unplug(id);
        rig.settle(300);
        QVERIFY(rig.visible("TFormProgress"));
        rig.widget("TFormProgress")->close();
        rig.replug(id);
        rig.settle(300);
        rig.showPage(ProgramPage);
        QVERIFY(rig.click("JvXPButton3"));
        rig.unplug(id);
        rig.settle(300);
        QVERIFY(rig.click("JvXPButton3")); // nothing is sent while not connected
        rig.settle(100);
    }

    // One transfer at a time: a send started while a read-back is under way (its window still
    // open) gets a modal window with OK disabled, sends the file's program untouched by the
    // read-back's late replies, and is not taken over by a length report nobody asked for.
    void sendDuringReadBack() {
        rig::AppRig rig;
        const QString file = Data + "short_address0.txp";
        const int id = connectWithFile(rig, file);
        rig.sim().setFaults(id, {.silent = true}); // the test plays the controller
        QVERIFY(rig.click("JvXPButton3"));
        rig.inject(indexed(103, 300));
        rig.inject(indexed(104, 0) + QByteArray(10, '\x55'));
        rig.settle();
        QVERIFY(rig.visible("TFormProgress"));
        QCOMPARE(rig.text("Message"), QString("Odczyt programu ze sterownika"));

        rig.clearWritten();
        QVERIFY(rig.click("btn_SendProg"));
        QCOMPARE(rig.text("Message"), QString("Trwa programowanie sterownika.."));
        QVERIFY(!rig.enabled("BtnOK"));
        QVERIFY(!rig.click("JvXPButton3")); // the main window waits for the send
        for (int i = 1; i < 5; ++i)
            rig.inject(indexed(104, i) + QByteArray(10, '\x55'));
        rig.inject(indexed(103, 2));
        rig.settle();
        QCOMPARE(rig.text("Message"), QString("Trwa programowanie sterownika.."));
        QVERIFY(commandsWithCode(rig.written(), 104).isEmpty());

        const QList<QByteArray> records = programOf(readFile(file));
        for (int i = 0; i <= records.size(); ++i)
            rig.inject(indexed(230, i));
        rig.settle();
        const QList<QByteArray> answers = commandsWithCode(rig.written(), 230);
        QCOMPARE(answers.size(), records.size());
        for (int i = 0; i < records.size(); ++i)
            QCOMPARE(answers[i].mid(3).leftJustified(10, '\0'), records[i]); // trailing zeros cut
        QCOMPARE(rig.text("Message"), QString("Program przesłany."));
        QVERIFY(rig.enabled("BtnOK"));
    }

    // A read-back cut short by an unplug: the save keeps only the records that came in, and says
    // so instead of reporting a complete save.
    void saveAfterACutReadBack() {
        rig::AppRig rig;
        const int id = connectWithFile(rig, Data + "full_300.txp");
        rig.sim().setFaults(id, {.silent = true});
        QVERIFY(rig.click("JvXPButton3"));
        rig.inject(indexed(103, 300));
        for (int i = 0; i < 100; ++i)
            rig.inject(indexed(104, i) + QByteArray(10, char(i)));
        rig.settle();
        rig.unplug(id);
        rig.settle();
        rig.widget("TFormProgress")->close();

        const QString path = dir_.filePath("cut.txp");
        rig.clearDialogs();
        rig.answerFile(path);
        QVERIFY(rig.click("btn_SaveProg"));
        rig.settle();
        QCOMPARE(rig.dialogs().size(), 2);
        QCOMPARE(rig.dialogs()[1].kind, QString("warning"));
        QVERIFY(rig.dialogs()[1].text.contains("100 z 300"));
        const QList<QByteArray> saved = programOf(readFile(path));
        QCOMPARE(saved.size(), 100);
        QCOMPARE(saved.last(), QByteArray(10, char(99)));
    }

    // Another HID device plugged in during a send does not cost the controller its handle: the
    // send goes on to the end.
    void sendSurvivesAnotherDevice() {
        rig::AppRig rig;
        const int id = connectWithFile(rig, Data + "full_300.txp");
        for (int round = 0; round < 3; ++round) {
            QVERIFY(rig.click("btn_SendProg"));
            const int mouse = rig.plugDevice("Mouse");
            rig.settle(50);
            rig.unplug(mouse);
            rig.settle(50);
            QCOMPARE(rig.text("Message"), QString("Program przesłany."));
            QCOMPARE(controller(rig, id).programLength(), 300);
            QVERIFY(rig.click("BtnOK"));
        }
    }

    void readBackListsTheControllersProgram() {
        rig::AppRig rig;
        const QString file = Data + "interleaved.txp";
        const int id = connectWithFile(rig, file);
        QVERIFY(rig.click("btn_SendProg"));
        rig.settle(50);
        QVERIFY(rig.click("BtnOK"));
        // Another address shows nothing; the read-back brings the controller's program.
        QVERIFY(rig.choose("ComboBoxModulNumer", 2));
        QCOMPARE(rig.text("EditProgSize"), QString("0"));
        rig.clearWritten();
        QVERIFY(rig.click("JvXPButton3"));
        rig.settle(50);
        QCOMPARE(rig.text("Message"), QString("Odebrano program ze sterownika"));
        QVERIFY(rig.enabled("BtnOK"));
        QCOMPARE(rig.text("EditProgSize"), QString("7"));
        QCOMPARE(rig.text("EditProgMemory"), QString("2%"));
        QCOMPARE(rig.text("MemoProgram"), listingOf(programOf(readFile(file))));
        QCOMPARE(commandsWithCode(rig.written(), 104).size(), 8); // records 0..6, then index 7
        QVERIFY(rig.click("btn_ProgStart"));                      // shown without blocking the main window
        QCOMPARE(controller(rig, id).programLength(), 7);

        // A program too short to fetch: the listing is emptied and nothing else happens.
        rig.widget("TFormProgress")->close();
        rig.clearWritten();
        rig.inject(bytes({103, 0, 2}));
        rig.settle();
        QCOMPARE(rig.text("MemoProgram"), QString());
        QVERIFY(!rig.visible("TFormProgress"));
        QVERIFY(commandsWithCode(rig.written(), 104).isEmpty());
    }

    void saveWritesAddressZeroAtomically() {
        rig::AppRig rig;
        connectWithFile(rig, Data + "interleaved.txp");
        QVERIFY(rig.choose("ComboBoxModulNumer", 3));
        const QString chosen = dir_.filePath("saved.TXP");
        rig.answerFile(chosen);
        QVERIFY(rig.click("btn_SaveProg"));
        rig.settle();
        const QString saved = chosen + ".txp";
        QCOMPARE(rig.dialogs().value(0).kind, QString("save"));
        QCOMPARE(rig.dialogs().value(1).text, QString("Zapisano program na dysku"));
        QCOMPARE(rig.statusPanel(0), QDir::toNativeSeparators(saved));
        const QByteArray bytes = readFile(saved);
        QCOMPARE(bytes.size(), 7 * 11);
        QCOMPARE(programOf(bytes).size(), 7); // every record carries address 0
        // The current program file stays the opened one.
        QVERIFY(rig.choose("ComboBoxModulNumer", 1));
        QCOMPARE(rig.text("EditProgSize"), QString("3"));

        // A file that cannot be written: an error naming it, no confirmation.
        rig.clearDialogs();
        const QString bad = dir_.filePath("missing-folder/p.txp");
        rig.answerFile(bad);
        QVERIFY(rig.click("btn_SaveProg"));
        rig.settle();
        QCOMPARE(rig.dialogs().size(), 2);
        QCOMPARE(rig.dialogs()[1].kind, QString("error"));
        QVERIFY(rig.dialogs()[1].text.contains(QDir::toNativeSeparators(bad)));
        QVERIFY(!QFile::exists(bad));
    }

    void progressWindowFollowsTheLanguage() {
        rig::AppRig rig;
        connectWithFile(rig, Data + "short_address0.txp");
        QVERIFY(rig.setLanguage(1));
        QVERIFY(rig.click("btn_SendProg"));
        rig.settle(50);
        QCOMPARE(rig.widget("TFormProgress")->windowTitle(), QString("Progress"));
        QCOMPARE(rig.text("Message"), QString("Program sent"));
        QVERIFY(rig.click("BtnOK"));
        QVERIFY(rig.setLanguage(0));
        QVERIFY(rig.click("JvXPButton3"));
        rig.settle(50);
        QCOMPARE(rig.widget("TFormProgress")->windowTitle(), QString("Postęp"));
    }

    void generatedProgramsUseTheSameTransfer() {
        rig::AppRig rig;
        const int id = connectWithFile(rig, Data + "short_address0.txp");
        kvt::ProgramTransfer* transfer = &rig.program().mainWindow->programTransfer();
        transfer->store().commands[0] = {4, 0, 0, 0, 0, 0, 0, 0, 0, 0};
        transfer->store().commands[1] = {10, 0, 0, 0, 0, 0, 0, 0, 0, 0};
        transfer->start(2);
        rig.settle(50);
        QCOMPARE(rig.text("Message"), QString("Program przesłany."));
        QCOMPARE(controller(rig, id).programLength(), 2);
        QCOMPARE(controller(rig, id).programRecord(1).at(0), char(10));
    }

    void editorLaunch() {
        rig::AppRig rig;
        rig.showPage(ProgramPage);
        QVERIFY(rig.click("btn_TxProg"));
        rig.settle();
        QCOMPARE(rig.dialogs().size(), 1);
        QCOMPARE(rig.dialogs()[0].kind, QString("information"));
        QVERIFY(rig.dialogs()[0].text.contains(QDir::toNativeSeparators(appDir_ + "TX_PROG/TX-PROG.exe")));

        // A native editor beside the program is started directly, with no arguments.
        const QString marker = dir_.filePath("editor-started");
        const QString editor = appDir_ + "TX_PROG/TX-PROG";
        writeFile(editor, QString("#!/bin/sh\necho \"$#\" > '%1'\n").arg(marker).toUtf8());
        QFile::setPermissions(editor, QFile::permissions(editor) | QFile::ExeOwner);
        rig.clearDialogs();
        QVERIFY(rig.click("btn_TxProg"));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker) && readFile(marker) == "0\n", 5000);
        QVERIFY(rig.dialogs().isEmpty());
    }
};

int main(int argc, char** argv) {
    return runInBothLocales<ProgramPageTest>(argc, argv);
}
#include "test_program_page.moc"
