// SPDX-License-Identifier: GPL-3.0-or-later
// The Program page on the simulated controller: program files, sending and reading back, running
// the program, the user registers and the editor launch.
#include "RigTest.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "assist/Colors.h"
#include "program/ProgramTransfer.h"
#include "sim/SimBackend.h"
#include "sim/SimController.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>

using namespace testing;

namespace {

const QString Data = QStringLiteral(KVT_PROGRAM_DATA "/");
constexpr int ProgramPage = 3;

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

QList<QByteArray> commandsWithCode(const QList<QByteArray>& reports, int code) {
    QList<QByteArray> result;
    for (const QByteArray& r : reports)
        if (r.size() > 1 && quint8(r[1]) == code)
            result << command(r);
    return result;
}

} // namespace

class ProgramPageTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    const QString appDir_ = QCoreApplication::applicationDirPath() + "/";

    // A connected KVT318 with the Program page shown and the sample file `name` opened.
    int connectWithFile(rig::AppRig& rig, const QString& path) {
        const int id = rig.plugController("KVT318");
        rig.settle();
        rig.showPage(ProgramPage);
        rig.answerFile(path);
        if (!rig.click("btn_ProgOpen"))
            return -1;
        rig.settle();
        rig.clearWritten();
        rig.clearDialogs();
        return id;
    }

    kvt::sim::SimController& controller(rig::AppRig& rig, int id) { return *rig.sim().controller(id); }

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

    void runStates() {
        rig::AppRig rig;
        const int id = connectWithFile(rig, Data + "short_address0.txp");
        // No poll until the send's own text has been seen: a run-state answer would replace it.
        QTimer* poll = rig.program().mainWindow->pollTimer();
        poll->stop();
        QVERIFY(rig.click("btn_SendProg"));
        rig.settle(50);
        QVERIFY(rig.click("BtnOK"));
        QCOMPARE(rig.text("Edit_ProgramStatus"), QString("Program wyłaczony")); // as designed
        poll->start();
        rig.settle(450);
        QCOMPARE(rig.text("Edit_ProgramStatus"), QString("Program wyłączony")); // polled with 31
        QCOMPARE(rig.background("Edit_ProgramStatus"), kvt::colors::Error);
        QVERIFY(rig.click("btn_ProgStart"));
        rig.settle(450);
        QCOMPARE(rig.text("Edit_ProgramStatus"), QString("Program uruchomiony"));
        QCOMPARE(rig.background("Edit_ProgramStatus"), kvt::colors::Active);
        QVERIFY(rig.click("btn_ProgPause"));
        rig.settle(450);
        QCOMPARE(rig.text("Edit_ProgramStatus"), QString("Program wstrzymany"));
        QCOMPARE(rig.background("Edit_ProgramStatus"), kvt::colors::Warning);
        QVERIFY(rig.setLanguage(1));
        QVERIFY(rig.click("btn_StopProg"));
        rig.settle(450);
        QCOMPARE(rig.text("Edit_ProgramStatus"), QString("Program off"));
        QCOMPARE(controller(rig, id).programRunState(), kvt::sim::ProgramMemory::Off);
        // An unknown state changes nothing; leaving the page stops the run-state poll.
        rig.inject(bytes({31, 2}));
        rig.settle();
        QCOMPARE(rig.text("Edit_ProgramStatus"), QString("Program off"));
        rig.showPage(2);
        rig.settle(50);
        rig.clearWritten();
        rig.settle(450);
        QVERIFY(!codes(rig.written()).contains(31));
    }

    void startWarnsWhenStartedByInput() {
        rig::AppRig rig;
        connectWithFile(rig, Data + "short_address0.txp");
        auto* option = rig.program().mainWindow->findChild<QCheckBox*>("cb_InStartStopMode");
        if (!option) {
            // The Configuration page is built elsewhere; a stand-in carries its option's name.
            option = new QCheckBox(rig.program().mainWindow);
            option->setObjectName("cb_InStartStopMode");
            option->hide();
        }
        option->setChecked(true);
        rig.holdDialogs(true);
        QVERIFY(rig.click("btn_ProgStart"));
        rig.settle();
        QCOMPARE(rig.dialogs().size(), 1);
        QCOMPARE(rig.dialogs()[0].kind, QString("warning"));
        QCOMPARE(rig.dialogs()[0].caption, QString("Uwaga"));
        QVERIFY(rig.dialogs()[0].text.contains("sterownika.\nOdznacz opcję \" Wejscie START"));
        QVERIFY(!codes(rig.written()).contains(156)); // sent once the box is closed
        QVERIFY(rig.closeDialog(true));
        rig.settle();
        QVERIFY(codes(rig.written()).contains(156));
        rig.holdDialogs(false);

        // Another model starts without a warning.
        rig::AppRig other;
        other.plugController("KVT317");
        other.settle();
        other.showPage(ProgramPage);
        auto* stand = other.program().mainWindow->findChild<QCheckBox*>("cb_InStartStopMode");
        if (!stand) {
            stand = new QCheckBox(other.program().mainWindow);
            stand->setObjectName("cb_InStartStopMode");
            stand->hide();
        }
        stand->setChecked(true);
        other.clearWritten();
        QVERIFY(other.click("btn_ProgStart"));
        other.settle();
        QVERIFY(other.dialogs().isEmpty());
        QVERIFY(codes(other.written()).contains(156));
    }

    void registersSurviveAPowerCycleOnceSaved() {
        rig::AppRig rig;
        const int id = connectWithFile(rig, Data + "short_address0.txp");
        for (int n = 50; n <= 96; n += 2) {
            const QString name = QString("editR%1").arg(n);
            QVERIFY(rig.type(name, QLocale().toString(n / 4.0)));
            QVERIFY(rig.click(QString(n >= 52 && n <= 72 ? "btnR%1" : "BtnR%1").arg(n)));
        }
        rig.settle();
        QCOMPARE(commandsWithCode(rig.written(), 234).value(0), bytes({234, 0, 0, 65, 72})); // 12.5, offset 0
        QCOMPARE(controller(rig, id).registerPair(96), std::bit_cast<quint32>(24.0f));
        QCOMPARE(rig.statusPanel(0), QString("Ustawiono rejestr użytkownika"));
        QVERIFY(rig.click("btn_saveUserReg"));
        rig.settle();
        QCOMPARE(rig.dialogs().value(0).text,
                 QString("Rejestry użytkownika zostały zapisane do pamięci nieulotnej sterownika."));
        QVERIFY(rig.type("editR50", "7"));
        QVERIFY(rig.click("BtnR50")); // not saved: lost at power-off

        rig.replug(id);
        rig.settle(100);
        rig.showPage(ProgramPage);
        for (int n = 50; n <= 96; n += 2)
            QVERIFY(rig.type(QString("editR%1").arg(n), "0"));
        QVERIFY(rig.click("btn_ReadUserReg"));
        rig.settle();
        for (int n = 50; n <= 96; n += 2)
            QCOMPARE(rig.text(QString("editR%1").arg(n)), QLocale().toString(n / 4.0));
        QCOMPARE(rig.cell("StringGrid1", 5, 5), QString("0")); // R98 in the grid only
        QCOMPARE(rig.text("EditMbusFrameCnt"), QString("0"));  // asked for: not a received frame
    }

    void invalidRegisterEntry() {
        rig::AppRig rig;
        connectWithFile(rig, Data + "short_address0.txp");
        QVERIFY(rig.type("editR70", ""));
        QVERIFY(rig.click("btnR70"));
        rig.settle();
        QCOMPARE(rig.background("editR70"), kvt::colors::Error);
        QCOMPARE(rig.dialogs().value(0).text,
                 QString("Wpisana wartosc nie jest liczbą lub użyto niewłasciwego znaku przecinka"));
        QCOMPARE(rig.dialogs().value(0).caption, QString("Błąd parametru"));
        QVERIFY(commandsWithCode(rig.written(), 234).isEmpty());
        QVERIFY(rig.type("editR70", "-2.5")); // either decimal mark
        QVERIFY(rig.click("btnR70"));
        rig.settle();
        QCOMPARE(commandsWithCode(rig.written(), 234), QList<QByteArray>{bytes({234, 0, 0, 0xC0, 0x20, 40})});
        QVERIFY(rig.background("editR70") != kvt::colors::Error);
        // A value a single cannot hold is refused, not sent as an infinity.
        rig.clearWritten();
        rig.clearDialogs();
        QVERIFY(rig.type("editR70", "1e39"));
        QVERIFY(rig.click("btnR70"));
        rig.settle();
        QCOMPARE(rig.background("editR70"), kvt::colors::Error);
        QCOMPARE(rig.dialogs().size(), 1);
        QVERIFY(commandsWithCode(rig.written(), 234).isEmpty());
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
        auto* transfer = kvt::ProgramTransfer::find(rig.program().mainWindow);
        QVERIFY(transfer);
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
