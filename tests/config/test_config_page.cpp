// SPDX-License-Identifier: GPL-3.0-or-later
// The Configuration page as a user meets it, against the simulated controller: the record read
// into the page, "Zapisz" with its limits and stops, the factory reset and the reactive controls.

#include "RigTest.h"
#include "TestFiles.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "assist/Colors.h"
#include "shell/AppState.h"
#include "sim/SimBackend.h"
#include "sim/SimController.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/resource.h>
#include <unistd.h>

using namespace testing;
using kvt::sim::ConfigRecord;

namespace {

// `expected` written with "." as the decimal mark, in the locale's own.
QString loc(QString expected) {
    return expected.replace(QLatin1Char('.'), QLocale().decimalPoint());
}

ConfigRecord stored(rig::AppRig& rig, int id) {
    return rig.sim().controller(id)->config();
}

QList<int> sentCodes(rig::AppRig& rig) {
    return codes(rig.written());
}

const QString FileCaption = QStringLiteral("Ustawienia sterownika");

} // namespace

class ConfigPageTest : public QObject {
    Q_OBJECT

private slots:
    void controlsBeforeAnyReport() {
        rig::AppRig rig;
        QCOMPARE(rig.items("ComboBox_StepDiv"),
                 (QStringList{"1/2", "1/8", "1/10", "1/16", "1/20", "1/32", "1/40", "1/64"}));
        QCOMPARE(rig.index("ComboBox_StepDiv"), 4);
        QCOMPARE(rig.items("ComboBox_MotorResol").at(4), QString("48     (7,5°)"));
        QCOMPARE(rig.index("ComboBox_MotorResol"), 2);
        QCOMPARE(rig.items("cb_AINmode"), (QStringList{"Off ", "Prędkosc", "Pozycja"}));
        QCOMPARE(rig.items("ComboBox_Units"), (QStringList{"obr.", "mm", "cm", "m"}));
        QCOMPARE(rig.index("ComboBox_Decp"), 3);
        QVERIFY(!rig.visible("ComboBox_Decp") && !rig.visible("Label4"));
        QCOMPARE(rig.index("ScrollBar_Current"), 5);
        QCOMPARE(rig.index("ScrollBar_RedCurrent"), 5);
        QCOMPARE(rig.text("Text_Current"), QString());
        QCOMPARE(rig.background("Text_Current"), QColor(211, 211, 211));
        QVERIFY(!rig.checked("cb_AutoRed"));
        for (const char* name : {"RadioButton_EncOFF", "RadioButton_EncINKR", "RadioButton_EncABS"})
            QVERIFY(!rig.checked(name));
        QVERIFY(rig.checked("CheckBox_SSI_8bit"));
        for (const char* name :
             {"Edit_Vmin", "Edit_Vmax", "Edit_Amax", "Edit_AinMin", "Edit_AinMax", "Edit_KP"})
            QCOMPARE(rig.text(name), QString());
        QCOMPARE(rig.text("Edit_RevToLinearCoef"), QString("1"));
        QCOMPARE(rig.text("Label_ConfigSpeedMax"), QString("Prędkosc maks.[obr/s]"));
        QCOMPARE(rig.text("cb_HomeAsLimitSwitch"), QString("Wejcia HOME (K) jako sygnały krańcowe"));
        QCOMPARE(rig.text("JvXPButton1"), QString("Przywróc fabryczne"));
    }

    void reportFillsThePage() {
        rig::AppRig rig;
        const int id = connectQuietly(rig);
        const ConfigRecord r = stored(rig, id);
        QCOMPARE(rig.text("Edit_Vmin"), loc("0.500"));
        QCOMPARE(rig.text("Edit_Vmax"), loc("5.000"));
        QCOMPARE(rig.text("Edit_Amax"), loc("10.000"));
        QCOMPARE(rig.text("Edit_AinMax"), loc("10.000"));
        QCOMPARE(rig.text("Edit_RevToLinearCoef"), loc("1.000"));
        QCOMPARE(rig.text("Edit_KP"), QString::number(r.kp));
        QCOMPARE(rig.index("ScrollBar_Current"), int(r.maxCurrent));
        QCOMPARE(rig.index("ScrollBar_RedCurrent"), int(r.redCurrent));
        QVERIFY(rig.checked("cb_AutoRed") && rig.enabled("ScrollBar_RedCurrent"));
        QCOMPARE(rig.text("ComboBox_StepDiv"), QString("1/16"));
        // No encoder: the reaction of a click ran.
        QVERIFY(rig.checked("RadioButton_EncOFF"));
        QVERIFY(!rig.enabled("Edit_EncResol") && !rig.enabled("btn_EncoderTest") &&
                !rig.enabled("RadioButtonHome2") && !rig.visible("GroupBox_SSI"));
        QVERIFY(rig.checked("RadioButtonHome0"));
        QCOMPARE(rig.text("ComboBox_ModbusAdr"), QString::number(r.address));
        QCOMPARE(rig.program().mainWindow->state().firmwareVersion(), loc("2.04"));
    }

    // Edit, "Zapisz", the box, and the page refilled from what the controller stored.
    void saveGoesThroughTheController() {
        rig::AppRig rig;
        const int id = connectQuietly(rig);
        QVERIFY(rig.type("Edit_Vmax", "12,5"));
        QVERIFY(rig.type("Edit_Amax", "0"));
        QVERIFY(rig.click("RadioButton_EncINKR"));
        QVERIFY(rig.type("Edit_EncResol", "5"));
        QVERIFY(rig.click("RadioButtonHome2"));
        QVERIFY(rig.click("cb_InStartStopMode"));
        QVERIFY(rig.choose("cb_AINmode", 2));
        QVERIFY(rig.type("Edit_AinMin", "-3.5"));
        QVERIFY(rig.type("Edit_RevToLinearCoef", "2.54"));
        QVERIFY(rig.choose("ComboBox_Units", 1));
        QVERIFY(rig.type("Edit_KP", "250"));
        QVERIFY(rig.choose("ScrollBar_Current", 70));
        QVERIFY(rig.choose("ComboBox_StepDiv", 7));
        QVERIFY(rig.choose("ComboBox_MotorResol", 0));
        QVERIFY(rig.click("btn_SaveConfigSettings"));
        // The accepted values are written back at once.
        QCOMPARE(rig.text("Edit_Amax"), loc("0.001"));
        QCOMPARE(rig.text("Edit_EncResol"), QString("10"));
        QCOMPARE(rig.text("Edit_KP"), QString("100"));
        QCOMPARE(rig.text("Edit_RevToLinearCoef"), loc("2.540"));
        rig.settle();

        QCOMPARE(sentCodes(rig), (QList<int>{236, 100, 99}));
        QCOMPARE(rig.written().first().size(), 65);
        QCOMPARE(rig.dialogs().size(), 1);
        QCOMPARE(rig.dialogs().first().text, QString("Zapisano ustawienia sterownika."));
        const ConfigRecord r = stored(rig, id);
        QCOMPARE(r.defMaxVel, 12.5f);
        QCOMPARE(r.defAcc, 0.001f);
        QCOMPARE(r.encoderMode, quint8(1));
        QCOMPARE(r.encoderResol, 10);
        QCOMPARE(r.homingMode, quint8(2));
        QCOMPARE(r.startStopMode, quint8(1));
        QCOMPARE(r.ainMode, quint8(2));
        QCOMPARE(r.ainMinVal, -3.5f);
        QCOMPARE(r.revToLinCoef, 2.54f);
        QCOMPARE(r.units, quint8(1));
        QCOMPARE(r.kp, 100);
        QCOMPARE(r.maxCurrent, quint8(70));
        QCOMPARE(r.microstep, quint8(64));
        QCOMPARE(r.motorResol, quint8(0));

        // The page shows what came back.
        QCOMPARE(rig.text("Edit_Vmax"), loc("12.500"));
        QCOMPARE(rig.text("ComboBox_StepDiv"), QString("1/64"));
        QVERIFY(rig.checked("RadioButton_EncINKR") && rig.enabled("Edit_EncResol"));
        QCOMPARE(rig.index("ComboBox_Units"), 1);
    }

    // "Zapisz" after editing one field: the fields the user did not touch go back as the
    // controller reported them (not rounded to the PXA-KVT's one decimal), codes the lists cannot
    // show go back as reported, and a value beyond a float in a limited field is limited.
    void saveKeepsWhatTheUserDidNotTouch() {
        rig::AppRig rig;
        const int id = rig.plugController("PXA-KVT");
        kvt::sim::SimController* c = rig.sim().controller(id);
        ConfigRecord r = c->config();
        r.revToLinCoef = 2.54f;
        r.ainMinVal = 0.25f;
        r.defMaxVel = 2.55f;
        r.ainMode = 7;
        r.microstep = 4;
        c->setConfig(r);
        rig.settle();
        QVERIFY(rig.showPage(1));
        rig.settle();
        QCOMPARE(rig.text("Edit_RevToLinearCoef"), loc("2.5"));
        QCOMPARE(rig.index("cb_AINmode"), -1);
        QCOMPARE(rig.index("ComboBox_StepDiv"), -1);
        rig.clearDialogs();

        QVERIFY(rig.type("Edit_KP", "7"));
        QVERIFY(rig.type("Edit_Amax", "1e39"));
        QVERIFY(rig.click("btn_SaveConfigSettings"));
        QCOMPARE(rig.text("Edit_Amax"), loc("9999.0"));
        QCOMPARE(rig.text("Edit_RevToLinearCoef"), loc("2.5"));
        rig.settle();
        QCOMPARE(rig.dialogs().size(), 1);
        QCOMPARE(rig.dialogs().first().text, QString("Zapisano ustawienia sterownika."));
        const ConfigRecord after = stored(rig, id);
        QCOMPARE(after.revToLinCoef, 2.54f);
        QCOMPARE(after.ainMinVal, 0.25f);
        QCOMPARE(after.defMaxVel, 2.55f);
        QCOMPARE(after.defAcc, 9999.0f);
        QCOMPARE(after.ainMode, quint8(7));
        QCOMPARE(after.microstep, quint8(4));
        QCOMPARE(after.kp, 7);
    }

    // The ampere displays follow the connected model's full-scale current, even where the slider
    // stays where it was.
    void currentDisplayFollowsTheModel() {
        rig::AppRig rig;
        for (const char* model : {"KVT318", "KVT317"}) {
            const int id = rig.plugController(model);
            kvt::sim::SimController* c = rig.sim().controller(id);
            ConfigRecord r = c->config();
            r.maxCurrent = 50;
            c->setConfig(r);
            rig.settle();
            QCOMPARE(rig.index("ScrollBar_Current"), 50);
            QCOMPARE(rig.text("Text_Current"), QString(model) == "KVT318" ? QString("2") : loc("1.5"));
            rig.unplug(id);
            rig.settle();
        }
    }

    // The step-division code follows the list the model profile installs; the motor-current
    // slider its range. Needs the Control page's model profile.
    void modelListsEndToEnd() {
        rig::AppRig rig;
        int id = connectQuietly(rig, "KVT317");
        QVERIFY2(!rig.items("ComboBox_StepDiv").contains("1/40"), "the KVT317's step list is not applied");
        kvt::sim::SimController* c = rig.sim().controller(id);
        ConfigRecord r = c->config();
        r.microstep = 40;
        c->setConfig(r);
        QVERIFY(rig.click("btn_Reconnect"));
        rig.settle();
        QCOMPARE(rig.text("ComboBox_StepDiv"), QString("1/64"));
        QVERIFY(rig.click("btn_SaveConfigSettings"));
        rig.settle();
        QCOMPARE(stored(rig, id).microstep, quint8(40));
        rig.unplug(id);
        rig.settle();

        id = rig.plugController("KVT318");
        rig.settle();
        QVERIFY(rig.choose("ComboBox_StepDiv", 8));
        QCOMPARE(rig.text("ComboBox_StepDiv"), QString("1/128"));
        QVERIFY(rig.click("btn_SaveConfigSettings"));
        rig.settle();
        QCOMPARE(stored(rig, id).microstep, quint8(128));
        QCOMPARE(rig.text("ComboBox_StepDiv"), QString("1/128"));
        QVERIFY(rig.choose("ScrollBar_Current", 55));
        QCOMPARE(rig.text("Text_Current"), loc("2.2"));
        rig.unplug(id);
        rig.settle();

        id = rig.plugController("PXA-KVT");
        rig.settle();
        QByteArray report = rig.sim().controller(id)->handle(bytes({99})).first();
        report[23] = char(90);
        rig.inject(report, id);
        rig.settle();
        QCOMPARE(rig.index("ScrollBar_Current"), 80);
    }

    // The minimum speed can be edited on controllers whose firmware predates the analog input.
    void minimumSpeedLimits() {
        rig::AppRig rig;
        const int id = rig.plugController("KVT318", 1.5f);
        rig.settle();
        QVERIFY(rig.showPage(1));
        QVERIFY(rig.type("Edit_Vmin", "2000"));
        QVERIFY(rig.click("btn_SaveConfigSettings"));
        QCOMPARE(rig.text("Edit_Vmin"), loc("1500.000"));
        rig.settle();
        QCOMPARE(stored(rig, id).defMinVel, 1500.0f);
        QCOMPARE(rig.text("Edit_Vmin"), loc("1500.000"));
        QVERIFY(rig.type("Edit_Vmin", "0"));
        QVERIFY(rig.click("btn_SaveConfigSettings"));
        rig.settle();
        QCOMPARE(stored(rig, id).defMinVel, 0.001f);
        QCOMPARE(rig.text("Edit_Vmin"), loc("0.001"));
    }

    // A standstill current the controller stores as 100 % means no reduction.
    void standstillOfHundredPercentComesBackAsOff() {
        rig::AppRig rig;
        const int id = connectQuietly(rig);
        QVERIFY(rig.choose("ScrollBar_Current", 100));
        QVERIFY(rig.choose("ScrollBar_RedCurrent", 100));
        QVERIFY(rig.click("btn_SaveConfigSettings"));
        rig.settle();
        QCOMPARE(stored(rig, id).redCurrent, quint8(100));
        QVERIFY(!rig.checked("cb_AutoRed"));
        QVERIFY(!rig.enabled("ScrollBar_RedCurrent"));
        QCOMPARE(rig.index("ScrollBar_RedCurrent"), 100);
        QVERIFY(rig.click("btn_SaveConfigSettings")); // sent as "no reduction"
        rig.settle();
        QCOMPARE(stored(rig, id).redCurrent, quint8(0));
    }

    void invalidEntryStopsTheSave() {
        rig::AppRig rig;
        connectQuietly(rig);
        QVERIFY(rig.type("Edit_Vmax", "20000"));
        QVERIFY(rig.click("RadioButton_EncINKR"));
        QVERIFY(rig.type("Edit_EncResol", "abc"));
        QVERIFY(rig.type("Edit_KP", "250"));
        QVERIFY(rig.click("btn_SaveConfigSettings"));
        rig.settle();
        QVERIFY(rig.written().isEmpty());
        QCOMPARE(rig.dialogs().size(), 1);
        QCOMPARE(rig.dialogs().first().kind, QString("warning"));
        QCOMPARE(rig.dialogs().first().caption, QString("Błąd parametru"));
        QCOMPARE(rig.background("Edit_EncResol"), kvt::colors::Error);
        QCOMPARE(rig.text("Edit_Vmax"), loc("9999.000")); // before the stop: rewritten
        QCOMPARE(rig.text("Edit_KP"), QString("250"));    // after it: untouched

        // In English the encoder field has its own wording; the fixed field turns normal again.
        rig.clearDialogs();
        QVERIFY(rig.setLanguage(1));
        QVERIFY(rig.type("Edit_EncResol", "1000"));
        QVERIFY(rig.type("Edit_AinMax", "x"));
        QVERIFY(rig.click("btn_SaveConfigSettings"));
        rig.settle();
        QCOMPARE(rig.dialogs().first().text, QString("Too big/small parameter value"));
        QCOMPARE(rig.dialogs().first().caption, QString("Parameter error"));
        QVERIFY(rig.background("Edit_EncResol") != kvt::colors::Error);
        QCOMPARE(rig.background("Edit_AinMax"), kvt::colors::Error);
        QVERIFY(rig.type("Edit_AinMax", "5"));
        QVERIFY(rig.type("Edit_EncResol", "x"));
        rig.clearDialogs();
        QVERIFY(rig.click("btn_SaveConfigSettings"));
        rig.settle();
        QCOMPARE(rig.dialogs().first().text, QString("Too high / low value of the parameter"));
    }

    // Before the first report the fields are empty: the save stops at the minimum speed.
    void saveBeforeFirstReport() {
        rig::AppRig rig;
        const int id = rig.plugController("KVT318");
        rig.sim().setFaults(id, {.silent = true});
        rig.settle();
        rig.clearWritten();
        QVERIFY(rig.showPage(1));
        QVERIFY(rig.click("btn_SaveConfigSettings"));
        rig.settle();
        QVERIFY(rig.written().isEmpty());
        QCOMPARE(rig.dialogs().size(), 1);
        QCOMPARE(rig.dialogs().first().text, QString("Zbyt duża/mała wartosc parametru"));
        QCOMPARE(rig.background("Edit_Vmin"), kvt::colors::Error);
        QVERIFY(rig.background("Edit_Vmax") != kvt::colors::Error);
    }

    void factoryReset() {
        rig::AppRig rig;
        const int id = connectQuietly(rig, "KVT317");
        QVERIFY(rig.type("Edit_KP", "77"));
        QVERIFY(rig.click("btn_SaveConfigSettings"));
        rig.settle();
        QCOMPARE(stored(rig, id).kp, 77);
        rig.clearWritten();
        rig.clearDialogs();

        rig.answer(false);
        QVERIFY(rig.click("JvXPButton1"));
        rig.settle();
        QCOMPARE(rig.dialogs().size(), 1);
        QCOMPARE(rig.dialogs().first().kind, QString("question"));
        QCOMPARE(rig.dialogs().first().text, QString("Przywrócic ustawienia fabryczne?"));
        QCOMPARE(rig.dialogs().first().caption, QString("Ustawienia"));
        QVERIFY(rig.written().isEmpty());

        rig.answer(true);
        QVERIFY(rig.click("JvXPButton1"));
        rig.settle();
        QCOMPARE(sentCodes(rig), (QList<int>{221, 99}));
        QCOMPARE(rig.dialogs().last().text, QString("Nastawy fabryczne przywrócone"));
        QCOMPARE(stored(rig, id), kvt::sim::factoryConfig("KVT317", 2.04f));
        QCOMPARE(rig.text("Edit_KP"), QString::number(stored(rig, id).kp));
    }

    void readAgain() {
        rig::AppRig rig;
        connectQuietly(rig);
        QVERIFY(rig.type("Edit_KP", "33"));
        QVERIFY(rig.click("btn_SaveConfigSettings"));
        rig.settle();
        QVERIFY(rig.type("Edit_KP", "1"));
        rig.clearWritten();
        QVERIFY(rig.click("btn_Reconnect"));
        rig.settle();
        QCOMPARE(sentCodes(rig), (QList<int>{100, 99}));
        QCOMPARE(rig.text("Edit_KP"), QString("33"));
    }

    // The controller reports a changed encoder type and homing options on its own.
    void partialReports() {
        rig::AppRig rig;
        const int id = connectQuietly(rig);
        kvt::sim::SimController* c = rig.sim().controller(id);
        ConfigRecord r = c->config();
        r.encoderMode = 1;
        r.homingMode = 2;
        r.offAfterError = 1;
        r.positionMem = 1;
        c->setConfig(r);
        c->reportEncoderMode();
        c->reportHomingOptions();
        rig.settle(10);
        QVERIFY(rig.checked("RadioButton_EncINKR") && !rig.checked("RadioButton_EncOFF"));
        QVERIFY(rig.enabled("Edit_EncResol") && rig.enabled("RadioButtonHome2") &&
                rig.enabled("cb_MotorAutoOff"));
        QVERIFY(rig.checked("RadioButtonHome2") && !rig.checked("RadioButtonHome0"));
        QVERIFY(rig.checked("cb_MotorAutoOff") && rig.checked("cb_AutoSavePos"));
        QVERIFY(rig.dialogs().isEmpty()); // a box set by a report runs no click reaction
        rig.inject(bytes({35, 9}));
        rig.settle();
        QVERIFY(rig.checked("RadioButton_EncOFF") && !rig.enabled("Edit_EncResol"));
    }

    void encoderButtons() {
        rig::AppRig rig;
        connectQuietly(rig);
        QVERIFY(rig.click("RadioButton_EncINKR"));
        QVERIFY(rig.click("RadioButtonHome2"));
        QVERIFY(rig.click("RadioButton_EncOFF"));
        QVERIFY(rig.checked("RadioButtonHome2") && !rig.enabled("RadioButtonHome2"));
        QVERIFY(!rig.visible("GroupBox_SSI") && !rig.enabled("btn_EncoderTest"));
        // Straight to absolute: the three controls stay disabled.
        QVERIFY(rig.click("RadioButton_EncABS"));
        QVERIFY(rig.visible("GroupBox_SSI") && rig.enabled("btn_EncoderTest"));
        QVERIFY(!rig.enabled("Edit_EncResol") && !rig.enabled("cb_MotorAutoOff") &&
                !rig.enabled("RadioButtonHome2"));
        QVERIFY(rig.click("CheckBox_SSI_12bit"));
        QVERIFY(rig.click("btn_SaveConfigSettings"));
        rig.settle();
        QCOMPARE(rig.sim().controller(rig.sim().pluggedIds().first())->config().encoderResol, 4096);
        QVERIFY(rig.checked("CheckBox_SSI_12bit"));

        // The encoder test window opens over the main window.
        QVERIFY(rig.click("btn_EncoderTest"));
        rig.settle();
        QVERIFY(rig.visible("TForm3"));
        QCOMPARE(rig.widget("TForm3")->windowModality(), Qt::WindowModal);
    }

    void motorAutoOffHint() {
        rig::AppRig rig;
        connectQuietly(rig); // no encoder: the option is disabled
        QVERIFY(!rig.click("cb_MotorAutoOff"));
        // Should it be reachable all the same, the click only tells why it does nothing.
        rig.widget("cb_MotorAutoOff")->setEnabled(true);
        const bool before = rig.checked("cb_MotorAutoOff");
        QVERIFY(rig.click("cb_MotorAutoOff"));
        rig.settle();
        QCOMPARE(rig.checked("cb_MotorAutoOff"), !before);
        QCOMPARE(rig.dialogs().size(), 1);
        QCOMPARE(rig.dialogs().first().kind, QString("information"));
        QCOMPARE(rig.dialogs().first().text, QString("Tylko dla pracy z enkoderem"));
        QCOMPARE(rig.dialogs().first().caption, QString("Ustawienia"));
        QVERIFY(rig.written().isEmpty());
        QVERIFY(rig.click("RadioButton_EncINKR"));
        QVERIFY(rig.click("cb_MotorAutoOff"));
        rig.settle();
        QCOMPARE(rig.dialogs().size(), 1);
    }

    void currentDisplays() {
        rig::AppRig rig;
        connectQuietly(rig);
        kvt::AppState& state = rig.program().mainWindow->state();
        state.setFullScaleCurrent(4.0f);
        QVERIFY(rig.choose("ScrollBar_Current", 100));
        QVERIFY(rig.choose("ScrollBar_RedCurrent", 80));
        QCOMPARE(rig.text("Text_RedCurrent"), loc("3.2"));
        QVERIFY(rig.choose("ScrollBar_Current", 55));
        QCOMPARE(rig.text("Text_Current"), loc("2.2"));
        QCOMPARE(rig.index("ScrollBar_RedCurrent"), 55);
        QCOMPARE(rig.text("Text_RedCurrent"), loc("2.2"));
        state.setFullScaleCurrent(3.0f);
        QVERIFY(rig.choose("ScrollBar_Current", 35));
        QCOMPARE(rig.text("Text_Current"), QString("1"));
        // The switch only enables the slider; its position stays.
        QVERIFY(rig.click("cb_AutoRed"));
        QVERIFY(!rig.enabled("ScrollBar_RedCurrent"));
        QCOMPARE(rig.index("ScrollBar_RedCurrent"), 35);
    }

    void listHelps() {
        rig::AppRig rig;
        QVERIFY(rig.showPage(1));
        QVERIFY(rig.openList("ComboBox_StepDiv"));
        QStringList lines = rig.text("MemoHelp").split('\n');
        QCOMPARE(lines.size(), 10);
        QVERIFY(lines.first().startsWith("Podpowiedź: Pozwala ustawic podział kroku"));
        QCOMPARE(lines.last(), QString("1/64-> 3 [obr/s]"));
        QVERIFY(rig.setLanguage(1));
        QVERIFY(rig.openList("ComboBox_MotorResol"));
        QCOMPARE(rig.text("MemoHelp"), QString("Hint: You can select the resolution of the stepper motor in "
                                               "steps / rotation (pitch angle)\n "));
        QVERIFY(rig.openList("cb_AINmode"));
        lines = rig.text("MemoHelp").split('\n');
        QCOMPARE(lines.size(), 5);
        QCOMPARE(lines.first(), QString("Konfiguracja wejscia analogowego 0-10V"));
    }
};

int main(int argc, char** argv) {
    return runInBothLocales<ConfigPageTest>(argc, argv);
}

#include "test_config_page.moc"
