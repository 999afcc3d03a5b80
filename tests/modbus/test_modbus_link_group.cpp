// SPDX-License-Identifier: GPL-3.0-or-later
// The Modbus link settings on the RS485 page: command 222, the read-back from the configuration
// record, the read button and the rate help.

#include "RigTest.h"
#include "sim/SimBackend.h"
#include "sim/SimController.h"

using namespace testing;

namespace {

// A configuration report carrying only an address and a rate code.
QByteArray report(int address, int rate) {
    QByteArray r(51, '\0');
    r[0] = char(99);
    r[26] = char(address);
    r[27] = char(rate);
    r[22] = char(16); // a valid step division, so the rest of the page stays sensible
    return r;
}

} // namespace

class ModbusLinkGroupTest : public QObject {
    Q_OBJECT

private slots:
    void controlsAtStart() {
        rig::AppRig rig;
        QCOMPARE(rig.items("ComboBox_MBusRate"), (QStringList{"9600", "19200", "38400", "57600", "115200"}));
        QCOMPARE(rig.index("ComboBox_MBusRate"), -1);
        QCOMPARE(rig.items("ComboBox_ModbusAdr").size(), 32);
        QCOMPARE(rig.items("ComboBox_ModbusAdr").last(), QString("32"));
        QCOMPARE(rig.index("ComboBox_ModbusAdr"), 0);
        QCOMPARE(rig.text("GroupBox4"), QString("Parametry transmisji MODBUS"));
        QCOMPARE(rig.text("Label27"), QString("Parzystosc: Brak, Bitów:8, Bitów stopu: 1"));
    }

    void saveSendsRateAndAddress() {
        rig::AppRig rig;
        const int id = connectQuietly(rig);
        QVERIFY(rig.showPage(2));
        rig.settle();
        rig.clearWritten();
        QVERIFY(rig.choose("ComboBox_ModbusAdr", 31));
        QVERIFY(rig.choose("ComboBox_MBusRate", 4));
        QVERIFY(rig.click("btn_SaveParamModbus"));
        rig.settle();
        QCOMPARE(command(rig.written().first()), bytes({222, 4, 32}));
        QCOMPARE(rig.dialogs().last().text, QString("Parametry transmisji zapisane"));
        QCOMPARE(rig.statusPanel(0), QString("Parametry komunikacyjne zapisane"));
        QCOMPARE(rig.sim().controller(id)->config().address, quint8(32));
        QCOMPARE(rig.sim().controller(id)->config().baudrate, quint8(4));

        // Read back: neither address 32 nor rate code 4 is taken from a report, so the
        // selectors keep what the user chose.
        rig.clearWritten();
        QVERIFY(rig.choose("ComboBox_MBusRate", 1));
        QVERIFY(rig.click("btn_ReadSettings"));
        rig.settle();
        QCOMPARE(codes(rig.written()), (QList<int>{99, 100}));
        QCOMPARE(rig.index("ComboBox_ModbusAdr"), 31);
        QCOMPARE(rig.index("ComboBox_MBusRate"), 1);
    }

    void readBackRules() {
        rig::AppRig rig;
        connectQuietly(rig);
        rig.inject(report(5, 3));
        rig.settle();
        QCOMPARE(rig.index("ComboBox_ModbusAdr"), 4);
        QCOMPARE(rig.index("ComboBox_MBusRate"), 3);
        rig.inject(report(20, 4));
        rig.settle();
        QCOMPARE(rig.index("ComboBox_ModbusAdr"), 4);
        QCOMPARE(rig.index("ComboBox_MBusRate"), 3);
    }

    // No rate chosen yet: connected, the user is asked to pick one; not connected, nothing at all.
    void saveWithoutRate() {
        rig::AppRig rig;
        const int id = rig.plugController("KVT318");
        rig.sim().setFaults(id, {.silent = true}); // no report, so no rate
        rig.settle();
        QVERIFY(rig.showPage(2));
        rig.settle();
        rig.clearWritten();
        QVERIFY(rig.click("btn_SaveParamModbus"));
        rig.settle();
        QVERIFY(rig.written().isEmpty());
        QCOMPARE(rig.dialogs().size(), 1);
        QCOMPARE(rig.dialogs().first().kind, QString("warning"));
        rig.unplug(id);
        rig.settle();
        rig.clearDialogs();
        QVERIFY(rig.click("btn_SaveParamModbus"));
        rig.settle();
        QVERIFY(rig.dialogs().isEmpty());
    }

    void rateHelp() {
        rig::AppRig rig;
        QVERIFY(rig.showPage(2));
        QVERIFY(rig.choose("ComboBox_MBusRate", 3));
        QCOMPARE(rig.text("MemoHelp"),
                 QString("Zmiana predkosci transmisji interfejsu RS485.\nUWAGA: Dla komunikacji "
                         "z programem TX-PROG należy ustawic prędkosc transmisji 57600."));
        QVERIFY(rig.setLanguage(1));
        QVERIFY(rig.choose("ComboBox_MBusRate", 0));
        QCOMPARE(rig.text("MemoHelp"), QString("Changing the RS485 baudrate\nNOTE: For communication with "
                                               "the TX-PROG to set the same baudrate."));
    }
};

int main(int argc, char** argv) {
    return runInBothLocales<ModbusLinkGroupTest>(argc, argv);
}

#include "test_modbus_link_group.moc"
