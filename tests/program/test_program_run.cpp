// SPDX-License-Identifier: GPL-3.0-or-later
// The Program page on the simulated controller: running the stored program and the user
// registers.
#include "ProgramPageRig.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "assist/Colors.h"

#include <QTimer>

using namespace testing;

namespace {

// A controller of `model` that stores the start by the START input, connected, with the Program
// page shown.
int plugStartedByInput(rig::AppRig& rig, const QString& model) {
    const int id = rig.plugController(model);
    kvt::sim::SimController& c = controller(rig, id);
    auto config = c.config();
    config.startStopMode = 1;
    c.setConfig(config);
    rig.settle();
    rig.showPage(ProgramPage);
    rig.clearWritten();
    rig.clearDialogs();
    return id;
}

} // namespace

class ProgramRunTest : public QObject {
    Q_OBJECT
private slots:
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

    // A controller that stores the start by the START input ticks the Configuration page's option
    // with its report, and the start warns first. Another model, the same option stored, starts
    // without a warning.
    void startWarnsWhenStartedByInput() {
        rig::AppRig rig;
        const int id = plugStartedByInput(rig, "KVT318");
        QVERIFY(rig.checked("cb_InStartStopMode"));
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

        rig.unplug(id);
        plugStartedByInput(rig, "KVT317");
        QVERIFY(rig.checked("cb_InStartStopMode"));
        QVERIFY(rig.click("btn_ProgStart"));
        rig.settle();
        QVERIFY(rig.dialogs().isEmpty());
        QVERIFY(codes(rig.written()).contains(156));
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
};

int main(int argc, char** argv) {
    return runInBothLocales<ProgramRunTest>(argc, argv);
}
#include "test_program_run.moc"
