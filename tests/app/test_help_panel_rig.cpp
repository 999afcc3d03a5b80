// SPDX-License-Identifier: GPL-3.0-or-later
// The help panel on the whole main window: every help entry names a control of the window, and
// moving the pointer over the controls shows their entries.

#include "RigTest.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "assist/HelpEntries.h"

#include <QPlainTextEdit>

using namespace testing;

class HelpPanelRigTest : public QObject {
    Q_OBJECT
private slots:
    void everyEntryHasItsControl() {
        rig::AppRig rig;
        QWidget* window = rig.program().mainWindow;
        for (const kvt::HelpEntry& entry : kvt::helpEntries()) {
            const QList<QWidget*> found = window->findChildren<QWidget*>(entry.control);
            QVERIFY2(found.size() == 1, qPrintable(entry.control));
            QCOMPARE(found.first()->window(), window);
        }
    }

    void entriesOnMovement() {
        rig::AppRig rig;
        QVERIFY(rig.showPage(3));
        QVERIFY(rig.hover("btn_SendProg"));
        QCOMPARE(rig.text("MemoHelp"), QStringLiteral("Przesłanie programu do sterownika"));
        QVERIFY(rig.hover("EditProgSize")); // no entry of its own
        QVERIFY(rig.showPage(4));
        QCOMPARE(rig.text("MemoHelp"), QStringLiteral("Przesłanie programu do sterownika"));

        // The function's panel: two lines, also after repeated movements; its fields have none.
        QVERIFY(rig.hover("Panel1"));
        QVERIFY(rig.hover("Panel1"));
        const QStringList lines = rig.text("MemoHelp").split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines[0].startsWith(QStringLiteral("Automatyczna funkcja zmiany kierunku ruchu.")));
        QVERIFY(lines[1].startsWith(QStringLiteral("UWAGA: Do poprawnego działania")));
        QVERIFY(rig.hover("Edit_AF_Wait1"));
        QCOMPARE(rig.text("MemoHelp").split(QLatin1Char('\n')).size(), 2);

        // Configuration: a control in a group with an entry shows its own.
        QVERIFY(rig.showPage(1));
        QVERIFY(rig.hover("GroupBox_Encoder"));
        QCOMPARE(rig.text("MemoHelp").split(QLatin1Char('\n')).size(), 2);
        QVERIFY(rig.hover("RadioButtonHome2"));
        QVERIFY(rig.text("MemoHelp").startsWith(QStringLiteral("Bazowanie inteligentne: nie jest wymagane")));
        QVERIFY(rig.hover("cb_HomeAsLimitSwitch"));
        QCOMPARE(rig.text("MemoHelp").split(QLatin1Char('\n')).size(), 2);
        QVERIFY(rig.hover("Edit_KP"));
        QCOMPARE(rig.text("MemoHelp").split(QLatin1Char('\n')).size(), 4);
    }

    void englishEntries() {
        rig::AppRig rig;
        QVERIFY(rig.setLanguage(1));
        QVERIFY(rig.showPage(1));
        for (const char* control :
             {"GroupBox2", "GroupBox3", "RadioButtonHome0", "RadioButtonHome1", "cb_AutoRed"}) {
            QVERIFY(rig.hover(QLatin1String(control)));
            QCOMPARE(rig.text("MemoHelp"), QStringLiteral(" "));
        }
        QVERIFY(rig.hover("GroupBox_Homing"));
        QVERIFY(rig.text("MemoHelp").startsWith(QStringLiteral("Konfiguracja trybu bazowania\n")));
        QVERIFY(rig.showPage(0));
        QVERIFY(rig.hover("GroupBoxSpeedSets"));
        QCOMPARE(rig.text("MemoHelp"), QStringLiteral("Zadanie prędkosci"));
        QVERIFY(rig.showPage(3));
        QVERIFY(rig.choose("ComboBoxModulNumer", 2));
        QCOMPARE(rig.text("MemoHelp"), QStringLiteral(" ")); // IDS_213 in English
        QVERIFY(rig.hover("btn_SendProg"));
        QCOMPARE(rig.text("MemoHelp"), QStringLiteral("Sending the program to the controller"));
    }
};

int main(int argc, char** argv) {
    return runInBothLocales<HelpPanelRigTest>(argc, argv);
}
#include "test_help_panel_rig.moc"
