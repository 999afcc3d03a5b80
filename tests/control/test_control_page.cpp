// SPDX-License-Identifier: GPL-3.0-or-later
// The Control page driven through the whole application on the simulated controller.
#include "RigTest.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "assist/Colors.h"
#include "link/Bytes.h"
#include "sim/ConfigRecord.h"
#include "sim/SimBackend.h"
#include "sim/SimController.h"

#include <QLocale>

using namespace testing;
using namespace kvt;

namespace {

const QColor Red(0xFF, 0x00, 0x00);
const QColor Orange(0xFF, 0xA5, 0x00);

// A live status report with the fields a test sets, the rest zero.
struct Status {
    float position = 0;
    quint8 io = 0;
    quint8 state = 1;
    qint32 temperatureRaw = 60;
    quint32 analogMv = 0;
    quint32 supplyMv = 24000;

    QByteArray bytes() const {
        QByteArray b(51, '\0');
        kvt::bytes::putU8(b, 0, 97);
        kvt::bytes::putF32le(b, 1, position);
        kvt::bytes::putU8(b, 9, io);
        kvt::bytes::putU8(b, 10, state);
        kvt::bytes::putI32le(b, 15, temperatureRaw);
        kvt::bytes::putU32le(b, 19, analogMv);
        kvt::bytes::putU32le(b, 23, supplyMv);
        return b;
    }
};

QByteArray identity(float firmware) {
    QByteArray b(5, '\0');
    kvt::bytes::putU8(b, 0, 100);
    kvt::bytes::putF32le(b, 1, firmware);
    return b + QByteArray("SIM", 4);
}

// What the user sent, without the polls.
QList<QByteArray> sent(rig::AppRig& rig) {
    QList<QByteArray> commands;
    for (const QByteArray& report : rig.written())
        if (quint8(report.at(1)) != 97)
            commands << command(report);
    return commands;
}

QString decimal(const char* text) {
    return QString::fromLatin1(text).replace(QLatin1Char('.'), QLocale().decimalPoint());
}

// Passes over rows whose controls other pages have not built (yet).
bool haveControls(rig::AppRig& rig, std::initializer_list<const char*> names) {
    for (const char* name : names)
        if (!rig.program().mainWindow->findChild<QWidget*>(QString::fromLatin1(name)))
            return false;
    return true;
}

} // namespace

class TestControlPage : public QObject {
    Q_OBJECT
private slots:
    // Drive on, go to 10, stop, home: what a technician does first with a new drive.
    void drivingTheSimulatedMotor() {
        rig::AppRig rig;
        rig.plugController("KVT318");
        rig.settle(250);
        QCOMPARE(rig.text("Edit_MotorStatus"), QStringLiteral("Wyłączony"));
        QVERIFY(rig.click("Btn_MotorEnable"));
        rig.settle(250);
        QCOMPARE(rig.statusPanel(0), QStringLiteral("Napęd włączony"));
        QCOMPARE(rig.text("Edit_MotorStatus"), QStringLiteral("Włączony"));
        QCOMPARE(rig.background("Edit_MotorStatus"), Orange);

        QVERIFY(rig.type("Edit_Xdest", "10"));
        QVERIFY(rig.click("btn_SetXdest1"));
        rig.settle(250);
        QCOMPARE(rig.text("Edit_MotorStatus"), QStringLiteral("Tryb pozycji"));
        QCOMPARE(rig.background("Edit_MotorStatus"), colors::Active);
        QCOMPARE(rig.text("Text_Xdest"), decimal("10.000"));
        QVERIFY(rig.text("Label_Time").startsWith(decimal("2.4")));

        rig.sim().advance(600);
        QVERIFY(rig.click("btn_MotorStop"));
        rig.settle(); // the command has reached the controller
        rig.sim().advance(1000); // braking takes 0.45 s
        rig.settle(250);
        QCOMPARE(rig.text("Edit_MotorStatus"), QStringLiteral("Włączony"));
        const QString stoppedAt = rig.text("Text_Xact");
        const double position = QLocale().toDouble(stoppedAt);
        QVERIFY2(position > 1 && position < 9, qPrintable(stoppedAt));
        QCOMPARE(rig.text("Text_Vact"), decimal("0.000"));
        rig.sim().advance(1000);
        rig.settle(250);
        QCOMPARE(rig.text("Text_Xact"), stoppedAt);

        QVERIFY(rig.type("Edit_HomeSpeed", "-5"));
        QVERIFY(rig.click("btn_Home"));
        rig.settle(250);
        QCOMPARE(rig.statusPanel(0), QStringLiteral("Bazowanie"));
        QCOMPARE(rig.text("Edit_MotorStatus"), QStringLiteral("Bazowanie"));
        rig.sim().advance(3000);
        rig.settle(250);
        QCOMPARE(rig.text("Edit_MotorStatus"), QStringLiteral("Pozycja osiągnięta"));
        QCOMPARE(rig.background("Edit_MotorStatus"), colors::Information);
        QCOMPARE(rig.text("Text_Xact"), decimal("0.000"));

        QVERIFY(rig.click("btn_MotorDisable"));
        rig.settle(250);
        QCOMPARE(rig.statusPanel(0), QStringLiteral("Napęd wyłączony"));
        QCOMPARE(rig.text("Edit_MotorStatus"), QStringLiteral("Wyłączony"));
    }

    void liveStatusDisplays() {
        rig::AppRig rig;
        connectQuietly(rig);
        Status s;
        s.position = 1234.5678f;
        s.io = 0x41;
        s.temperatureRaw = 96;
        s.analogMv = 5432;
        s.supplyMv = 36001;
        rig.inject(s.bytes());
        rig.settle();
        const QString group = QLocale().groupSeparator();
        QCOMPARE(rig.text("Text_Xact"), QStringLiteral("1") + group + decimal("234.600"));
        QCOMPARE(rig.text("Edit_Run"), QStringLiteral("On"));
        QCOMPARE(rig.background("Edit_Run"), colors::Active);
        QCOMPARE(rig.text("Edit_Out1"), QStringLiteral("On"));
        for (const char* off :
             {"Edit_StopIn3", "Edit_In1", "Edit_In2", "Edit_Home1", "Edit_Home2", "Edit_Out2"}) {
            QCOMPARE(rig.text(off), QStringLiteral("Off"));
            QCOMPARE(rig.background(off), colors::Error);
        }
        QCOMPARE(rig.text("label_UcTemp"), QStringLiteral("71 [C]"));
        QCOMPARE(rig.textColor("label_UcTemp"), colors::Error);
        QCOMPARE(rig.text("Label_Vain"), decimal("5.4 [V]"));
        QCOMPARE(rig.textColor("Label_Vzas"), colors::Error);

        s.temperatureRaw = 95;
        s.supplyMv = 12000;
        rig.inject(s.bytes());
        rig.settle();
        QCOMPARE(rig.text("label_UcTemp"), QStringLiteral("70 [C]"));
        QCOMPARE(rig.textColor("label_UcTemp"), QColor(Qt::black));
        QCOMPARE(rig.text("Label_Vzas"), QStringLiteral("12 [V]"));
        QCOMPARE(rig.textColor("Label_Vzas"), QColor(Qt::black));

        // A state code above 9 leaves the field as it was; English texts follow the language.
        s.state = 10;
        rig.inject(s.bytes());
        rig.settle();
        QCOMPARE(rig.text("Edit_MotorStatus"), QStringLiteral("Włączony"));
        QVERIFY(rig.setLanguage(1));
        s.state = 2;
        rig.inject(s.bytes());
        rig.settle();
        QCOMPARE(rig.text("Edit_MotorStatus"), QStringLiteral("Speed mode"));
    }

    // Overload reported again and again: the field blinks red every other report.
    void overloadBlinks() {
        rig::AppRig rig;
        const int id = connectQuietly(rig);
        Status s;
        rig.inject(s.bytes());
        rig.settle();
        QCOMPARE(rig.background("Edit_MotorStatus"), Orange);
        s.state = 7;
        QList<QColor> seen;
        for (int i = 0; i < 6; ++i) {
            rig.inject(s.bytes(), id);
            rig.settle();
            QCOMPARE(rig.text("Edit_MotorStatus"), QStringLiteral("Przeciążenie"));
            seen << rig.background("Edit_MotorStatus");
        }
        QCOMPARE(seen[0], Orange);
        QCOMPARE(seen[1], Red);
        QCOMPARE(seen[2], Red);
        QVERIFY(seen[3] != Red && seen[3] != Orange);
        QCOMPARE(seen[4], seen[3]);
        QCOMPARE(seen[5], Red);

        // The simulator's own overload blinks the same way through the poll.
        rig.sim().controller(id)->injectFault(kvt::sim::DriveFault::Overload);
        QVERIFY(rig.showPage(0));
        rig.settle(250);
        QCOMPARE(rig.text("Edit_MotorStatus"), QStringLiteral("Przeciążenie"));
    }

    void firmwareVersions() {
        rig::AppRig rig;
        connectQuietly(rig);
        rig.inject(identity(1.15f));
        rig.settle();
        QCOMPARE(rig.dialogs().size(), 1);
        QCOMPARE(rig.dialogs().first().kind, QStringLiteral("information"));
        QCOMPARE(rig.dialogs().first().caption, QStringLiteral("Uwaga"));
        QVERIFY(rig.dialogs().first().text.startsWith(
            "Sterownik posiada starszą wersję oprogramowania.\nNiektóre"));
        rig.clearDialogs();
        rig.inject(identity(1.16f));
        rig.settle();
        QVERIFY(rig.dialogs().isEmpty());
        QCOMPARE(rig.text("TextStatus"), QStringLiteral("Połączono z KVT318 ver. ") + decimal("1.16 [SIM]"));

        rig.inject(identity(2.04f));
        rig.settle();
        QVERIFY(rig.enabled("Btn_SimIN2"));
        QVERIFY(rig.visible("Label_Time") && rig.visible("Label_PosDest") && rig.visible("Label_EncRAW"));
        rig.inject(identity(2.03f));
        rig.settle();
        QVERIFY(!rig.enabled("Btn_SimIN2"));
        QVERIFY(!rig.visible("Label_Time") && !rig.visible("Text_Xdest") && !rig.visible("Label_EncRAW"));
        // Twelve is newer than two, though its text sorts below "2".
        rig.inject(identity(12.0f));
        rig.settle();
        QVERIFY(rig.enabled("Btn_SimIN2"));
        QVERIFY(rig.visible("Label_DistAccDec"));
        QVERIFY(rig.dialogs().isEmpty());
    }

    void oldFirmwareDropsScaling() {
        rig::AppRig rig;
        connectQuietly(rig);
        if (!haveControls(rig,
                          {"ComboBox_Units", "Label2", "Label26", "Edit_RevToLinearCoef", "GroupBox_Ain"}))
            QFAIL("the Configuration page's scaling controls are missing");
        rig.inject(identity(1.9f));
        rig.settle();
        for (const char* hidden :
             {"Label2", "Label26", "Edit_RevToLinearCoef", "ComboBox_Units", "GroupBox_Ain"})
            QVERIFY2(!rig.visible(hidden), hidden);
        QCOMPARE(rig.index("ComboBox_Units"), 0);
        QCOMPARE(rig.text("Label_SpeedActual"), QStringLiteral("Prędkosc aktualna [obr./s]"));
        // Newer firmware, here from another controller, brings them back.
        rig.inject(identity(2.04f));
        rig.settle();
        for (const char* shown :
             {"Label2", "Label26", "Edit_RevToLinearCoef", "ComboBox_Units", "GroupBox_Ain"})
            QVERIFY2(rig.visible(shown), shown);
    }

    void directCommands() {
        rig::AppRig rig;
        const int id = connectQuietly(rig);
        QVERIFY(rig.showPage(0));
        rig.settle();

        QVERIFY(rig.type("Edit_HomeSpeed", "50000"));
        QVERIFY(rig.click("btn_Home"));
        QCOMPARE(rig.text("Edit_HomeSpeed"), QStringLiteral("30000"));
        QVERIFY(rig.type("Edit_Xdest", "-2e9"));
        QVERIFY(rig.click("btn_SetXdest1"));
        QCOMPARE(rig.text("Edit_Xdest"), QStringLiteral("-1E0008"));
        QVERIFY(rig.type("Edit_Vdest", "1,5"));
        QVERIFY(rig.click("btn_SetVdest1"));
        QVERIFY(rig.type("Edit_Vdest2", "1.5"));
        QVERIFY(rig.click("btn_SetVdest2"));
        QVERIFY(rig.type("Edit_Xmove2", "12.5"));
        QVERIFY(rig.click("btn_SetXmove2"));
        QVERIFY(rig.click("btn_MotorStop"));
        QVERIFY(rig.click("JvXPButton4"));
        QVERIFY(rig.click("btn_ResetPos"));
        rig.settle();
        QCOMPARE(sent(rig),
                 (QList<QByteArray>{QByteArray::fromHex("a20060ea46"), QByteArray::fromHex("8320bcbecc"),
                                    QByteArray::fromHex("840000c03f"), QByteArray::fromHex("840000c03f"),
                                    QByteArray::fromHex("8700004841"), QByteArray::fromHex("9d"),
                                    QByteArray::fromHex("9d"), QByteArray::fromHex("d9")}));

        // Letters: the field turns red, a box, nothing sent.
        rig.clearWritten();
        QVERIFY(rig.type("Edit_Xmove1", "abc"));
        QVERIFY(rig.click("btn_SetXmove1"));
        rig.settle();
        QCOMPARE(rig.background("Edit_Xmove1"), colors::Error);
        QCOMPARE(rig.dialogs().size(), 1);
        QCOMPARE(rig.dialogs().first().text, QStringLiteral("Zbyt duża/mała wartosc parametru"));
        QVERIFY(sent(rig).isEmpty());

        // Toggles invert one bit of what the controller last reported: Out2 on, only Run active.
        kvt::sim::SimController* sim = rig.sim().controller(id);
        sim->handle(QByteArray::fromHex("9502"));
        sim->handle(QByteArray::fromHex("9601"));
        rig.settle(250);
        QCOMPARE(rig.text("Edit_Out2"), QStringLiteral("On"));
        rig.clearWritten();
        QVERIFY(rig.click("btn_ChangeOut1"));
        QVERIFY(rig.click("btn_ChangeOut1")); // before a new status: the same mask again
        QVERIFY(rig.click("Btn_SimIN2"));
        rig.settle();
        QCOMPARE(sent(rig), (QList<QByteArray>{QByteArray::fromHex("9503"), QByteArray::fromHex("9503"),
                                               QByteArray::fromHex("9609")}));
    }

    void motionParameters() {
        rig::AppRig rig;
        connectQuietly(rig);
        QVERIFY(rig.showPage(0));
        rig.settle();
        QVERIFY(rig.type("Edit_SetVmax", "0"));
        QVERIFY(rig.type("Edit_SetAcc", "5000000"));
        rig.clearWritten();
        QVERIFY(rig.click("btn_SetMoveParam"));
        rig.settle();
        QCOMPARE(rig.text("Edit_SetVmax"), decimal("0.000"));
        QCOMPARE(rig.text("Edit_SetAcc"), decimal("1000000.000"));
        QCOMPARE(sent(rig), QList<QByteArray>{QByteArray::fromHex("e0"
                                                                  "00000000"
                                                                  "17b7d138"
                                                                  "00247449")});
        QCOMPARE(rig.statusPanel(0), QStringLiteral("Parametry ruchu zapisane"));
        QCOMPARE(rig.dialogs().size(), 1);
        QCOMPARE(rig.dialogs().first().caption, QStringLiteral("Ustawienia"));

        // An invalid speed stops before the acceleration is looked at.
        rig.clearDialogs();
        rig.clearWritten();
        QVERIFY(rig.type("Edit_SetVmax", "x"));
        QVERIFY(rig.type("Edit_SetAcc", "y"));
        QVERIFY(rig.click("btn_SetMoveParam"));
        rig.settle();
        QCOMPARE(rig.dialogs().size(), 1);
        QCOMPARE(rig.background("Edit_SetVmax"), colors::Error);
        QVERIFY(rig.background("Edit_SetAcc") != colors::Error);
        QCOMPARE(rig.text("Edit_SetAcc"), QStringLiteral("y"));
        QVERIFY(sent(rig).isEmpty());
    }

    void profilePictureFollowsTheField() {
        rig::AppRig rig;
        QCOMPARE(rig.index("Image_XProfile"), 3);
        rig.plugController("KVT318");
        rig.settle();
        QVERIFY(rig.click("Edit_SetAcc"));
        QCOMPARE(rig.index("Image_XProfile"), 2);
        QVERIFY(rig.click("Edit_Vdest2"));
        QCOMPARE(rig.index("Image_XProfile"), 1);
        QVERIFY(rig.click("Edit_Xmove1"));
        QCOMPARE(rig.index("Image_XProfile"), 3);
        QVERIFY(rig.click("Edit_SetVmax"));
        QCOMPARE(rig.index("Image_XProfile"), 1);
    }

    void modelProfiles() {
        rig::AppRig rig;
        const int first = rig.plugController("KVT318");
        rig.settle();
        QVERIFY(rig.visible("Label_Vpower") && rig.visible("Label_Vzas"));
        QCOMPARE(rig.text("Label9"), QStringLiteral("In1"));
        rig.unplug(first);
        rig.plugController("KVT317");
        rig.settle();
        QVERIFY(!rig.visible("Label_Vpower") && !rig.visible("Label_Vzas"));
        QCOMPARE(rig.text("Label9"), QStringLiteral("EncA"));
        QCOMPARE(rig.text("Label10"), QStringLiteral("EncB"));
        // The model's captions are not translated.
        QVERIFY(rig.setLanguage(1));
        QCOMPARE(rig.text("Label9"), QStringLiteral("EncA"));
        QCOMPARE(rig.text("GroupBoxSpeedSets").left(16), QStringLiteral("Prędkosc zadana "));
    }

    void pxaProfile() {
        rig::AppRig rig;
        rig.plugController("PXA-KVT", 1.10f);
        rig.settle(250);
        QVERIFY(rig.dialogs().isEmpty()); // 1.10 is the PXA-KVT's minimum
        QCOMPARE(rig.text("LabelInStop"), QStringLiteral("In3"));
        // Model texts and rebuilt texts agree for these, with millimetres either way.
        QCOMPARE(rig.text("Label_SpeedActual"), QStringLiteral("Prędkosc aktualna [mm/s]"));
        QCOMPARE(rig.text("Label_PosActual"), QStringLiteral("Pozycja aktualna [mm]"));
        QCOMPARE(rig.text("GroupBoxSpeedSets"), QStringLiteral("Prędkosc zadana [mm/s]"));
        // Positions with one decimal.
        QCOMPARE(rig.text("Text_Xact"), decimal("0.0"));
    }

    // Rows of the profile on the other pages, and the units and precision selectors.
    void otherPagesFollowTheModel() {
        rig::AppRig rig;
        if (!haveControls(rig,
                          {"RadioButton_EncABS", "ComboBox_StepDiv", "ScrollBar_Current",
                           "cb_InStartStopMode", "ComboBox_ModbusAdr", "RadioButton_EncINKR", "Edit_AF_Speed",
                           "ComboBox_Decp", "Label_ConfigSpeedMin", "Labe_lAutoFunc1_Speed"}))
            QFAIL("controls of the Configuration, RS485 or Functions page are missing");
        const int first = rig.plugController("KVT318");
        rig.settle();
        QVERIFY(rig.visible("RadioButton_EncABS"));
        QVERIFY(rig.items("ComboBox_StepDiv").contains("1/40"));
        rig.unplug(first);
        const int second = rig.plugController("KVT317");
        rig.settle();
        QVERIFY(!rig.visible("RadioButton_EncABS"));
        QVERIFY(!rig.items("ComboBox_StepDiv").contains("1/40"));
        QCOMPARE(rig.items("ComboBox_StepDiv").size(), 8);
        rig.unplug(second);
        rig.plugController("PXA-KVT");
        rig.settle();
        QVERIFY(!rig.visible("cb_InStartStopMode"));
        QVERIFY(!rig.enabled("ComboBox_ModbusAdr"));
        QCOMPARE(rig.text("RadioButton_EncINKR"), QStringLiteral("Enkoder absolutny"));
        QCOMPARE(rig.text("Edit_AF_Speed"), QStringLiteral("100"));
        QCOMPARE(rig.index("ComboBox_Decp"), 1);
        QVERIFY(rig.showPage(1));
        QVERIFY(rig.choose("ComboBox_Units", 1));
        QCOMPARE(rig.text("Label_ConfigSpeedMin"), QStringLiteral("Prędkosc min. [mm/s]"));
        QCOMPARE(rig.text("Labe_lAutoFunc1_Speed"), QStringLiteral("Prędkosc [mm/s]"));
        QCOMPARE(rig.text("Label_Acc"), QStringLiteral("Przyspieszenie [mm/s^2]"));

        // A record with a unit index the selector does not have keeps the selection and still
        // rebuilds the labels from it.
        QVERIFY(rig.choose("ComboBox_Units", 2));
        QCOMPARE(rig.text("Label_PosActual"), QStringLiteral("Pozycja aktualna [cm]"));
        kvt::sim::ConfigRecord record = kvt::sim::factoryConfig("PXA-KVT", 2.04f);
        for (const quint8 units : {quint8(4), quint8(255)}) {
            record.units = units;
            rig.inject(kvt::sim::encodeConfigReport(record));
            rig.settle();
            QCOMPARE(rig.index("ComboBox_Units"), 2);
            QCOMPARE(rig.text("Label_SpeedMax"), QStringLiteral("Prędkosc maks. [cm/s]"));
        }
    }
};

int main(int argc, char** argv) {
    return runInBothLocales<TestControlPage>(argc, argv);
}
#include "test_control_page.moc"
