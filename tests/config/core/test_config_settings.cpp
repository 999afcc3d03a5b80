// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/core/ConfigSettings.h"

#include <QLocale>
#include <QTest>

using namespace kvt;
using namespace kvt::config;

namespace {

const fmt::Separators Point{QLatin1Char('.'), QLatin1Char(',')};
const fmt::Separators Comma{QLatin1Char(','), QLatin1Char(' ')};

SettingsLimits limits(int stepDivisionCount = 9, int currentMaximum = 100, fmt::Separators s = Point,
                      int decimals = 3) {
    SettingsLimits l;
    l.stepDivisionCount = stepDivisionCount;
    l.currentMaximum = currentMaximum;
    l.separators = s;
    l.decimals = decimals;
    return l;
}

// A report whose every field has a plain, in-range value.
ConfigReport plainReport() {
    ConfigReport r;
    r.DefMinVel = 0.5f;
    r.DefMaxVel = 2.5f;
    r.DefAcc = 10;
    r.EncoderResol = 1000;
    r.EncoderMode = 1;
    r.Microstep = 16;
    r.MaxCurrent = 60;
    r.RedCurrent = 30;
    r.HomingMode = 1;
    r.Address = 5;
    r.Baudrate = 2;
    r.MotorResol = 3;
    r.OffAfterError = 1;
    r.AinMode = 2;
    r.AinMinVal = -1;
    r.AinMaxVal = 7.25f;
    r.RevToLinCoef = 0.1f;
    r.Units = 1;
    r.Kp = 42;
    return r;
}

// Settings as the page holds them once a report has filled it.
ConfigSettings filled() {
    ConfigSettings s;
    applyConfigReport(s, plainReport(), limits());
    return s;
}

} // namespace

class TestConfigSettings : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void reportFillsEveryField() {
        const ConfigSettings s = filled();
        QCOMPARE(s.DefMinVel, QString("0.500"));
        QCOMPARE(s.DefMaxVel, QString("2.500"));
        QCOMPARE(s.DefAcc, QString("10.000"));
        QCOMPARE(s.EncoderMode, 1);
        QCOMPARE(s.EncoderResol, QString("1000"));
        QCOMPARE(s.Microstep, 3);
        QCOMPARE(s.MaxCurrent, 60);
        QCOMPARE(s.RedCurrent, 30);
        QVERIFY(s.RedCurrentON);
        QCOMPARE(s.HomingMode, 1);
        QCOMPARE(s.Address, 4);
        QCOMPARE(s.Baudrate, 2);
        QCOMPARE(s.MotorResol, 3);
        QVERIFY(s.OffAfterError && !s.PositionMem && !s.HomieAsLimitSw && !s.StartStopMode);
        QCOMPARE(s.AinMode, 2);
        QCOMPARE(s.AinMinVal, QString("-1.000"));
        QCOMPARE(s.AinMaxVal, QString("7.250"));
        QCOMPARE(s.RevToLinCoef, QString("0.100"));
        QCOMPARE(s.Units, 1);
        QCOMPARE(s.Kp, QString("42"));
    }

    // Values follow the display precision and the locale's decimal mark.
    void reportFormatsWithPrecisionAndLocale() {
        ConfigSettings s;
        applyConfigReport(s, plainReport(), limits(9, 100, Comma, 1));
        QCOMPARE(s.DefMaxVel, QString("2,5"));
        QCOMPARE(s.RevToLinCoef, QString("0,1"));
        QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
        SettingsLimits polish; // separators of the default locale
        applyConfigReport(s, plainReport(), polish);
        QCOMPARE(s.DefMaxVel, QString("2,500"));
    }

    void reportStepDivisionByModelList() {
        ConfigReport r = plainReport();
        ConfigSettings s;
        r.Microstep = 40; // KVT317: "1/64" at position 6
        applyConfigReport(s, r, limits(8));
        QCOMPARE(s.Microstep, 6);
        r.Microstep = 128; // not in an eight-entry list: no selection
        applyConfigReport(s, r, limits(8));
        QCOMPARE(s.Microstep, NoSelection);
        applyConfigReport(s, r, limits(9)); // KVT318
        QCOMPARE(s.Microstep, 8);
        r.Microstep = 3; // no such code
        applyConfigReport(s, r, limits(9));
        QCOMPARE(s.Microstep, NoSelection);
    }

    void reportCurrents_data() {
        QTest::addColumn<int>("currentMaximum");
        QTest::addColumn<int>("maxRaw");
        QTest::addColumn<int>("redRaw");
        QTest::addColumn<int>("maxCurrent");
        QTest::addColumn<int>("redCurrent");
        QTest::addColumn<bool>("autoRed");
        QTest::newRow("above 100") << 100 << 120 << 30 << 100 << 30 << true;
        QTest::newRow("PXA-KVT limit") << 80 << 90 << 30 << 80 << 30 << true;
        QTest::newRow("below slider") << 100 << 2 << 0 << 5 << 5 << false;
        QTest::newRow("negative") << 100 << -20 << 5 << 5 << 5 << true;
        // 100 % is no reduction; the slider still moves, pulled down to the motor current.
        QTest::newRow("reduction 100") << 100 << 60 << 100 << 60 << 60 << false;
        QTest::newRow("reduction 0") << 100 << 60 << 0 << 60 << 5 << false;
        QTest::newRow("reduction above motor") << 100 << 40 << 70 << 40 << 40 << true;
        QTest::newRow("reduction 101 ignored") << 100 << 60 << 101 << 60 << 25 << true;
        QTest::newRow("reduction 127 ignored") << 100 << 60 << 127 << 60 << 25 << true;
    }
    void reportCurrents() {
        QFETCH(int, currentMaximum);
        QFETCH(int, maxRaw);
        QFETCH(int, redRaw);
        QFETCH(int, maxCurrent);
        QFETCH(int, redCurrent);
        QFETCH(bool, autoRed);
        ConfigSettings s;
        s.MaxCurrent = 50;
        s.RedCurrent = 25;
        s.RedCurrentON = true;
        ConfigReport r = plainReport();
        r.MaxCurrent = qint8(maxRaw);
        r.RedCurrent = qint8(redRaw);
        applyConfigReport(s, r, limits(9, currentMaximum));
        QCOMPARE(s.MaxCurrent, maxCurrent);
        QCOMPARE(s.RedCurrent, redCurrent);
        QCOMPARE(s.RedCurrentON, autoRed);
    }

    // Codes outside a list leave the list alone, except where a value clears it.
    void reportOutOfRangeSelections() {
        ConfigSettings s = filled();
        ConfigReport r = plainReport();
        r.Address = 20;
        r.Baudrate = 4;
        r.Units = 7;
        r.MotorResol = 6;
        r.EncoderMode = 3;
        r.EncoderResol = 5;
        r.HomingMode = 9;
        r.AinMode = 3;
        applyConfigReport(s, r, limits());
        QCOMPARE(s.Address, 4);
        QCOMPARE(s.Baudrate, 2);
        QCOMPARE(s.Units, 1);
        QCOMPARE(s.MotorResol, 3);
        QCOMPARE(s.EncoderMode, 1);
        QCOMPARE(s.EncoderResol, QString("1000"));
        QCOMPARE(s.HomingMode, 0);        // any other value is simple homing
        QCOMPARE(s.AinMode, NoSelection); // no range test: nothing selected

        r.Baudrate = -1; // the rate selector keeps its choice
        r.Units = -1;
        r.MotorResol = -1; // a negative motor type leaves no entry selected
        applyConfigReport(s, r, limits());
        QCOMPARE(s.Baudrate, 2);
        QCOMPARE(s.Units, 1);
        QCOMPARE(s.MotorResol, NoSelection);
    }

    void reportAbsoluteEncoderWord() {
        ConfigSettings s = filled();
        ConfigReport r = plainReport();
        r.EncoderMode = 2;
        r.EncoderResol = 4096;
        applyConfigReport(s, r, limits());
        QCOMPARE(s.EncoderMode, 2);
        QCOMPARE(s.SsiWord, 2);
        QCOMPARE(s.EncoderResol, QString("1000")); // the incremental field is not touched
        r.EncoderResol = 2048;
        applyConfigReport(s, r, limits());
        QCOMPARE(s.SsiWord, 0);
    }

    void partialReports() {
        ConfigSettings s = filled();
        applyEncoderModeReport(s, {2});
        QCOMPARE(s.EncoderMode, 2);
        applyEncoderModeReport(s, {7});
        QCOMPARE(s.EncoderMode, 0);
        applyHomingOptionsReport(s, {2, 0, 5, 1});
        QCOMPARE(s.HomingMode, 2);
        QVERIFY(!s.OffAfterError && s.PositionMem && s.HomieAsLimitSw);
        applyHomingOptionsReport(s, {3, 1, 0, 0});
        QCOMPARE(s.HomingMode, 0);
    }

    void currentDisplay() {
        QCOMPARE(currentText(55, 4.0f, Point), QString("2.2"));
        QCOMPARE(currentText(55, 4.0f, Comma), QString("2,2"));
        // 3.0 x 35 x 0.01 as a single is just below 1.05.
        QCOMPARE(currentText(35, 3.0f, Point), QString("1"));
        QCOMPARE(currentText(100, 4.0f, Point), QString("4"));
        QCOMPARE(currentText(5, 0.0f, Point), QString("0"));
    }

    // What the write takes from the buttons and lists; the entry fields are checked below.
    void writeFromButtonsAndLists() {
        ConfigSettings s = filled();
        s.SsiWord = 1;
        ConfigWrite w = *prepareConfigWrite(s, limits()).command;
        QCOMPARE(w.RedCurrent, quint8(30));
        QCOMPARE(w.Microstep, quint8(16));
        QCOMPARE(w.EncoderMode, quint8(1));
        QCOMPARE(w.EncoderResol, 1000);

        s.RedCurrentON = false;
        s.EncoderMode = 2;
        s.Microstep = 6; // KVT317 "1/64"
        w = *prepareConfigWrite(s, limits(8)).command;
        QCOMPARE(w.RedCurrent, quint8(0));
        QCOMPARE(w.EncoderMode, quint8(2));
        QCOMPARE(w.EncoderResol, 1024);
        QCOMPARE(w.Microstep, quint8(40));

        s.EncoderMode = 0;
        s.HomingMode = NoSelection;
        s.EncoderResol = QStringLiteral("junk"); // not read without an incremental encoder
        const WritePreparation off = prepareConfigWrite(s, limits());
        QVERIFY(off.command);
        QCOMPARE(off.command->EncoderMode, quint8(0));
        QCOMPARE(off.command->EncoderResol, 0);
        QCOMPARE(off.command->HomingMode, quint8(0));
        QVERIFY(!off.checked.contains(ConfigEntry::EncoderResol));
    }

    void writeLimitsAndRewrites_data() {
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("sent");
        QTest::addColumn<QString>("shown");
        const auto row = [](const char* name, ConfigEntry e, const char* typed, double sent,
                            const char* shown) {
            QTest::newRow(name) << int(e) << QString(typed) << sent << QString(shown);
        };
        row("min speed high", ConfigEntry::DefMinVel, "2000", 1500, "1500.000");
        row("min speed zero", ConfigEntry::DefMinVel, "0", double(0.001f), "0.001");
        row("min speed comma", ConfigEntry::DefMinVel, "1,5", 1.5, "1.500");
        row("max speed high", ConfigEntry::DefMaxVel, "1e6", 9999, "9999.000");
        row("acc negative", ConfigEntry::DefAcc, "-4", double(0.001f), "0.001");
        row("encoder low", ConfigEntry::EncoderResol, "5", 10, "10");
        row("encoder negative", ConfigEntry::EncoderResol, "-5", 10000, "10000");
        row("encoder high", ConfigEntry::EncoderResol, "70000", 10000, "10000");
        row("max speed beyond a float", ConfigEntry::DefMaxVel, "1e39", 9999, "9999.000");
        row("min speed below a float", ConfigEntry::DefMinVel, "-1e39", double(0.001f), "0.001");
        row("ain unlimited", ConfigEntry::AinMinVal, "-12345", -12345, "-12345.000");
        row("coef six digits", ConfigEntry::RevToLinCoef, "2.54", double(2.54f), "2.540");
        row("kp zero", ConfigEntry::Kp, "0", 1, "1");
        row("kp high", ConfigEntry::Kp, "250", 100, "100");
        row("kp negative", ConfigEntry::Kp, "-7", 1, "1");
    }
    void writeLimitsAndRewrites() {
        QFETCH(int, entry);
        QFETCH(QString, typed);
        QFETCH(double, sent);
        QFETCH(QString, shown);
        ConfigSettings s = filled();
        QString* field = &entryText(s, ConfigEntry(entry));
        *field = typed;
        const WritePreparation p = prepareConfigWrite(s, limits());
        QVERIFY(p.command);
        QCOMPARE(*field, shown);
        const ConfigWrite& w = *p.command;
        const double values[] = {w.DefMinVel, w.DefMaxVel, w.DefAcc,       double(w.EncoderResol),
                                 w.AinMinVal, w.AinMaxVal, w.RevToLinCoef, double(w.Kp)};
        QCOMPARE(values[entry], sent);
    }

    // The first entry that is not a number stops the write; fields before it keep their new texts,
    // fields after it are not touched.
    void writeStopsAtFirstInvalidEntry() {
        ConfigSettings s = filled();
        s.DefMinVel = QStringLiteral("2000");
        s.EncoderResol = QStringLiteral("abc");
        s.Kp = QStringLiteral("250");
        WritePreparation p = prepareConfigWrite(s, limits());
        QVERIFY(!p.command);
        QCOMPARE(p.invalid, std::optional(ConfigEntry::EncoderResol));
        QCOMPARE(p.checked.last(), ConfigEntry::EncoderResol);
        QCOMPARE(s.DefMinVel, QString("1500.000"));
        QCOMPARE(s.EncoderResol, QString("abc"));
        QCOMPARE(s.Kp, QString("250"));

        s.EncoderResol = QStringLiteral("1.5"); // an integer entry takes no decimal mark
        QCOMPARE(prepareConfigWrite(s, limits()).invalid, std::optional(ConfigEntry::EncoderResol));

        s.EncoderResol = QStringLiteral("100");
        s.RevToLinCoef = QStringLiteral("1e39"); // beyond a single-precision float
        QCOMPARE(prepareConfigWrite(s, limits()).invalid, std::optional(ConfigEntry::RevToLinCoef));
    }

    // Fields still showing a reported value send that value whole, not its rounded text; a field
    // the user typed into sends what was typed, and keeps sending it on the next write.
    void writeSendsUntouchedValuesWhole() {
        ConfigReport r = plainReport();
        r.RevToLinCoef = 2.54f;
        r.AinMinVal = 0.25f;
        r.DefMaxVel = 2.55f;
        ConfigSettings s;
        applyConfigReport(s, r, limits(9, 80, Point, 1));
        const ConfigSettings shown = s;
        s.Kp = QStringLiteral("7");
        s.DefAcc = QStringLiteral("3.25");
        WritePreparation p = prepareConfigWrite(s, limits(9, 80, Point, 1));
        QVERIFY(p.command);
        QCOMPARE(p.command->RevToLinCoef, 2.54f);
        QCOMPARE(p.command->AinMinVal, 0.25f);
        QCOMPARE(p.command->DefMaxVel, 2.55f);
        QCOMPARE(p.command->DefAcc, 3.25f);
        QCOMPARE(s.RevToLinCoef, shown.RevToLinCoef); // the display is unchanged
        QCOMPARE(s.DefMaxVel, shown.DefMaxVel);
        QCOMPARE(s.DefAcc, QString("3.3"));

        p = prepareConfigWrite(s, limits(9, 80, Point, 1));
        QCOMPARE(p.command->DefAcc, 3.25f);
    }

    // A list the report could not select (no entry for its code) sends the reported code back.
    void writeSendsReportedCodeForListWithoutSelection() {
        ConfigReport r = plainReport();
        r.MotorResol = -3;
        r.AinMode = 7;
        r.Microstep = 4; // no step division has this code
        ConfigSettings s;
        applyConfigReport(s, r, limits());
        QCOMPARE(s.Microstep, NoSelection);
        QCOMPARE(s.MotorResol, NoSelection);
        QCOMPARE(s.AinMode, NoSelection);
        const WritePreparation p = prepareConfigWrite(s, limits());
        QVERIFY(p.command);
        QCOMPARE(p.command->Microstep, quint8(4));
        QCOMPARE(p.command->MotorResol, quint8(253));
        QCOMPARE(p.command->AinMode, quint8(7));
    }

    // Before the first report the entry fields are empty: the write stops at the first of them.
    void writeBeforeFirstReportStopsAtMinSpeed() {
        ConfigSettings s;
        const WritePreparation p = prepareConfigWrite(s, limits());
        QVERIFY(!p.command);
        QCOMPARE(p.invalid, std::optional(ConfigEntry::DefMinVel));
        QCOMPARE(p.checked, QList<ConfigEntry>{ConfigEntry::DefMinVel});
    }

    void writeUnderCommaLocale() {
        ConfigSettings s = filled();
        s.DefMaxVel = QStringLiteral("12.5");
        s.DefAcc = QStringLiteral("7,25");
        const WritePreparation p = prepareConfigWrite(s, limits(9, 100, Comma));
        QVERIFY(p.command);
        QCOMPARE(p.command->DefMaxVel, 12.5f);
        QCOMPARE(p.command->DefAcc, 7.25f);
        QCOMPARE(s.DefMaxVel, QString("12,500"));
        QCOMPARE(s.DefAcc, QString("7,250"));
    }
};

QTEST_GUILESS_MAIN(TestConfigSettings)
#include "test_config_settings.moc"
