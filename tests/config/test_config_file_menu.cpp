// SPDX-License-Identifier: GPL-3.0-or-later
// The configuration file from the main menu, against the simulated controller: a round trip
// through the controller, a load that changes nothing and a save that fails.

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

ConfigRecord stored(rig::AppRig& rig, int id) {
    return rig.sim().controller(id)->config();
}

const QString FileCaption = QStringLiteral("Ustawienia sterownika");

} // namespace

class ConfigFileTest : public QObject {
    Q_OBJECT

private slots:
    // Save to a file, change everything, load it, "Zapisz": the controller holds the file's values.
    void fileRoundTripThroughController() {
        QTemporaryDir dir;
        rig::AppRig rig;
        const int id = connectQuietly(rig);
        QVERIFY(rig.type("Edit_Amax", "0,25"));
        QVERIFY(rig.type("Edit_Vmax", "7.5"));
        QVERIFY(rig.click("RadioButton_EncINKR"));
        QVERIFY(rig.type("Edit_EncResol", "4000"));
        QVERIFY(rig.click("RadioButtonHome1"));
        QVERIFY(rig.choose("ScrollBar_Current", 60));
        QVERIFY(rig.choose("ScrollBar_RedCurrent", 40));
        QVERIFY(rig.choose("ComboBox_StepDiv", 5));
        QVERIFY(rig.click("cb_HomeAsLimitSwitch"));
        QVERIFY(rig.type("Edit_KP", "12"));
        QVERIFY(rig.choose("ComboBox_Units", 2));
        QVERIFY(rig.choose("ComboBox_MBusRate", 3));
        QVERIFY(rig.choose("ComboBox_ModbusAdr", 6));
        rig.answerFile(dir.filePath("ustawienia"));
        QVERIFY(rig.click("Zapiszdopliku1"));
        rig.settle();
        QCOMPARE(rig.dialogs().size(), 1); // the file dialog only
        QCOMPARE(rig.dialogs().first().kind, QString("save"));
        QCOMPARE(rig.dialogs().first().text, QString("KVT configuration file (kvt)|*kvt"));
        const QString path = dir.filePath("ustawienia.kvt");
        QVERIFY(readAll(path).contains("DefAcc=0,25\r\n"));

        // Everything different.
        QVERIFY(rig.type("Edit_Amax", "9"));
        QVERIFY(rig.type("Edit_Vmax", "9"));
        QVERIFY(rig.click("RadioButton_EncABS"));
        QVERIFY(rig.click("RadioButtonHome0"));
        QVERIFY(rig.choose("ScrollBar_Current", 90));
        QVERIFY(rig.choose("ComboBox_StepDiv", 0));
        QVERIFY(rig.click("cb_HomeAsLimitSwitch"));
        QVERIFY(rig.type("Edit_KP", "3"));
        QVERIFY(rig.choose("ComboBox_Units", 0));
        QVERIFY(rig.choose("ComboBox_MBusRate", 0));
        QVERIFY(rig.choose("ComboBox_ModbusAdr", 0));
        QVERIFY(rig.showPage(0));
        rig.clearDialogs();

        rig.answerFile(path);
        rig.answer(true);
        QVERIFY(rig.click("Odczytajzpliku1"));
        rig.settle();
        QCOMPARE(rig.dialogs().size(), 3);
        QCOMPARE(rig.dialogs().at(1).kind, QString("warning"));
        QCOMPARE(rig.dialogs().at(1).caption, FileCaption);
        QCOMPARE(rig.dialogs().at(2).kind, QString("information"));
        QVERIFY(rig.dialogs().at(2).text.startsWith("Ustawienia wczytane.\n\n By przesłac"));
        QCOMPARE(rig.page(), 1);
        QCOMPARE(rig.text("Edit_Amax"), QString("0,25"));
        QCOMPARE(rig.index("ComboBox_Units"), 2);
        QCOMPARE(rig.text("Label_ConfigSpeedMin"), QString("Prędkosc min. [cm/s]")); // labels rebuilt
        QCOMPARE(rig.text("Edit_Vmax"), QString("7.5"));
        QVERIFY(rig.checked("RadioButton_EncINKR") && rig.enabled("Edit_EncResol"));
        QVERIFY(!rig.visible("GroupBox_SSI"));
        QCOMPARE(rig.index("ScrollBar_RedCurrent"), 40);
        QVERIFY(rig.enabled("ScrollBar_RedCurrent"));
        QCOMPARE(rig.index("ComboBox_MBusRate"), 3);
        QCOMPARE(rig.index("ComboBox_ModbusAdr"), 6);
        QVERIFY(rig.written().isEmpty()); // loading sends nothing

        // The Modbus settings first: the read after "Zapisz" refills the Modbus selectors too.
        QVERIFY(rig.showPage(2));
        QVERIFY(rig.click("btn_SaveParamModbus"));
        rig.settle();
        QVERIFY(rig.showPage(1));
        QVERIFY(rig.click("btn_SaveConfigSettings"));
        rig.settle();
        const ConfigRecord r = stored(rig, id);
        QCOMPARE(r.defAcc, 0.25f);
        QCOMPARE(r.defMaxVel, 7.5f);
        QCOMPARE(r.encoderMode, quint8(1));
        QCOMPARE(r.encoderResol, 4000);
        QCOMPARE(r.homingMode, quint8(1));
        QCOMPARE(r.maxCurrent, quint8(60));
        QCOMPARE(r.redCurrent, quint8(40));
        QCOMPARE(r.microstep, quint8(32));
        QCOMPARE(r.homeAsLimitSw, quint8(1));
        QCOMPARE(r.kp, 12);
        QCOMPARE(r.units, quint8(2));
        QCOMPARE(r.baudrate, quint8(3));
        QCOMPARE(r.address, quint8(7));
    }

    // A missing file changes nothing; a cancelled confirmation neither.
    void loadThatChangesNothing() {
        QTemporaryDir dir;
        rig::AppRig rig;
        connectQuietly(rig);
        QVERIFY(rig.type("Edit_KP", "42"));
        const QString missing = dir.filePath("missing.kvt");
        rig.answerFile(missing);
        QVERIFY(rig.click("Odczytajzpliku1"));
        rig.settle();
        QCOMPARE(rig.dialogs().size(), 2);
        QCOMPARE(rig.dialogs().last().kind, QString("error"));
        QCOMPARE(rig.dialogs().last().text, QString("Unable to read %1").arg(missing));
        QCOMPARE(rig.text("Edit_KP"), QString("42"));

        QVERIFY(writeAll(dir.filePath("a.kvt"), "[OTHERconfig]\r\nKp=7\r\n"));
        rig.clearDialogs();
        rig.answerFile(dir.filePath("a.kvt"));
        rig.answer(false);
        QVERIFY(rig.click("Odczytajzpliku1"));
        rig.settle();
        QCOMPARE(rig.dialogs().size(), 2);
        QCOMPARE(rig.text("Edit_KP"), QString("42"));
    }

    // A save that cannot complete leaves the old file and says so.
    void failedSaveKeepsTheOldFile() {
        QTemporaryDir dir;
        rig::AppRig rig;
        connectQuietly(rig);
        const QString path = dir.filePath("a.kvt");
        const QByteArray old = "[Old]\r\nkeep=1\r\n";
        QVERIFY(writeAll(path, old));

        // A full disk, imitated by the file-size limit.
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 32;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        rig.answerFile(path);
        QVERIFY(rig.click("Zapiszdopliku1"));
        rig.settle();
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previous);
        QCOMPARE(readAll(path), old);
        QCOMPARE(rig.dialogs().last().kind, QString("error"));
        // The message users know, and on a second line the system's reason.
        QCOMPARE(rig.dialogs().last().text,
                 QString("Unable to write to %1\n%2").arg(path, QString::fromLocal8Bit(std::strerror(EFBIG))));

        // A read-only folder and file (permissions bind a normal user only).
        if (geteuid() != 0) {
            QFile::setPermissions(path, QFile::ReadOwner);
            QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
            rig.clearDialogs();
            rig.answerFile(dir.filePath("a"));
            QVERIFY(rig.click("Zapiszdopliku1"));
            rig.settle();
            QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QCOMPARE(readAll(path), old);
            QVERIFY(rig.dialogs().last().text.startsWith(QString("Unable to write to %1\n").arg(path)));
        }
    }
};

int main(int argc, char** argv) {
    return runInBothLocales<ConfigFileTest>(argc, argv);
}

#include "test_config_file_menu.moc"
