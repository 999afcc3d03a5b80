// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileLimits.h"
#include "config/core/ConfigFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

using namespace kvt;
using namespace kvt::config;
using testing::readAll;
using testing::writeAll;

namespace {

SettingsLimits limits(int stepDivisionCount = 8, int currentMaximum = 100) {
    SettingsLimits l;
    l.stepDivisionCount = stepDivisionCount;
    l.currentMaximum = currentMaximum;
    return l;
}

ConfigSettings load(const QByteArray& text, ConfigSettings s = {}, const SettingsLimits& l = limits()) {
    applyConfigFile(IniDocument::parse(text), s, l);
    return s;
}

// Every saved value set to something other than its default and its initial state.
ConfigSettings unusual() {
    ConfigSettings s;
    s.MaxCurrent = 70;
    s.RedCurrent = 45;
    s.RedCurrentON = true;
    s.Microstep = 7;
    s.MotorResol = 5;
    s.DefMinVel = QStringLiteral("0,5");
    s.DefMaxVel = QStringLiteral("12.500");
    s.DefAcc = QStringLiteral("33");
    s.EncoderMode = 2;
    s.EncoderResol = QStringLiteral("4000");
    s.HomingMode = 2;
    s.OffAfterError = true;
    s.PositionMem = true;
    s.HomieAsLimitSw = true;
    s.StartStopMode = true;
    s.AinMode = 1;
    s.AinMinVal = QStringLiteral("-3");
    s.AinMaxVal = QStringLiteral("not a number");
    s.RevToLinCoef = QStringLiteral("2.54");
    s.Kp = QStringLiteral("77");
    s.Units = 2;
    s.Decp = 1;
    s.Baudrate = 4;
    s.Address = 31;
    return s;
}

} // namespace

class TestConfigFile : public QObject {
    Q_OBJECT
private slots:
    void newFileLayout() {
        const QByteArray text = writeConfigFile({}, unusual());
        const QByteArray expected =
            "[KVT-revizareduva ]\r\nversion=1.30\r\n\r\n"
            "[DRIVERconfig]\r\nMaxCurrent=70\r\nRedCurrent=45\r\nRedCurrentON=1\r\n"
            "Microstep=7\r\nMotorResol=5\r\n\r\n"
            "[MOTIONconfig]\r\nDefMinVel=0,5\r\nDefMaxVel=12.500\r\nDefAcc=33\r\n\r\n"
            "[ENCODRconfig]\r\nModeOff=0\r\nModeInc=0\r\nModeAbs=1\r\nEncoderResol=4000\r\n\r\n"
            "[HOMINGconfig]\r\nModeSimple=0\r\nModePrecision=0\r\nModeIntelligent=1\r\n\r\n"
            "[AINconfig]\r\nMode=1\r\nMinVal=-3\r\nMaxVal=not a number\r\n\r\n"
            "[OTHERconfig]\r\nHomieAsLimitSw=1\r\nStartStopMode=1\r\nOffAfterError=1\r\n"
            "PositionMem=1\r\nRevToLinCoef=2.54\r\nKp=77\r\nUnits=2\r\n\r\n"
            "[PCPROGconfig]\r\nDecp=1\r\n\r\n"
            "[RS485config]\r\nBaudrate=4\r\nAddress=31\r\n";
        QCOMPARE(text, expected);
        QCOMPARE(configFileEntries(unusual()).size(), 29);
    }

    // Every saved control comes back, each into its own field.
    void roundTrip() {
        const ConfigSettings saved = unusual();
        ConfigSettings loaded = load(writeConfigFile({}, saved));
        loaded.SsiWord = saved.SsiWord; // not stored
        QCOMPARE(loaded, saved);
        QCOMPARE(loaded.DefMaxVel, QString("12.500"));

        // Nothing selected in an option group is saved as all three options off.
        ConfigSettings none = saved;
        none.EncoderMode = NoSelection;
        none.HomingMode = NoSelection;
        none.Baudrate = NoSelection;
        ConfigSettings before = saved;
        const ConfigSettings back = load(writeConfigFile({}, none), before);
        QCOMPARE(back.EncoderMode, NoSelection);
        QCOMPARE(back.HomingMode, NoSelection);
        QCOMPARE(back.Baudrate, 4); // "-1" is outside the list: the selection stays
    }

    void missingFileContentTakesDefaults() {
        const ConfigSettings s = load({}, unusual());
        QCOMPARE(s.MaxCurrent, 30);
        QCOMPARE(s.RedCurrent, 20);
        QVERIFY(!s.RedCurrentON);
        QCOMPARE(s.Microstep, 6);
        QCOMPARE(s.MotorResol, 2);
        QCOMPARE(s.DefMinVel, QString("0"));
        QCOMPARE(s.DefMaxVel, QString("2"));
        QCOMPARE(s.DefAcc, QString("5"));
        QCOMPARE(s.EncoderMode, 0);
        QCOMPARE(s.EncoderResol, QString("200"));
        QCOMPARE(s.HomingMode, 0);
        QCOMPARE(s.AinMode, 0);
        QCOMPARE(s.AinMinVal, QString("0"));
        QCOMPARE(s.AinMaxVal, QString("5"));
        QVERIFY(!s.HomieAsLimitSw && !s.StartStopMode && !s.OffAfterError && !s.PositionMem);
        QCOMPARE(s.RevToLinCoef, QString("1"));
        QCOMPARE(s.Kp, QString("1"));
        QCOMPARE(s.Units, 0);
        QCOMPARE(s.Decp, 3);
        QCOMPARE(s.Baudrate, 2);
        QCOMPARE(s.Address, 0);
    }

    // A loaded file's text is the value: a value shown earlier from a report no longer stands
    // behind a field, even where the file holds the same text.
    void loadedTextReplacesReportedValue() {
        ConfigSettings s;
        s.RevToLinCoef = QStringLiteral("2.5");
        s.shown[std::size_t(ConfigEntry::RevToLinCoef)] = ShownValue{s.RevToLinCoef, double(2.54f)};
        s = load("[OTHERconfig]\r\nRevToLinCoef=2.5\r\n", s);
        const WritePreparation p = prepareConfigWrite(s, limits());
        QVERIFY(p.command);
        QCOMPARE(p.command->RevToLinCoef, 2.5f);
    }

    // A file written by hand: LF endings, comments, keys and sections in other letter case,
    // blanks around names and values, hexadecimal integers, garbage, unknown sections and keys.
    void handWrittenFile() {
        const QByteArray text = "; settings for line 3\n"
                                "[other]\nMaxCurrent=99\n\n"
                                "[ driverCONFIG ]\n"
                                "# old value: 40\n"
                                "  maxcurrent = 0x3C \n"
                                "REDCURRENT=90\n"
                                "RedCurrentOn=yes\n"
                                "microstep=0x5\n"
                                "MotorResol=0x\n"
                                "[motionconfig]\n"
                                "DefMinVel = 0,5\n"
                                "defmaxvel=\n"
                                "[ENCODRCONFIG]\n"
                                "modeoff=0\nmodeinc=-1\nmodeabs=0\n"
                                "[homingconfig]\nModeSimple=1\nModePrecision=1\nModeIntelligent=0\n"
                                "[AINconfig]\nMode=2.0\n"
                                "[OTHERconfig]\nUnits=7\nKp=abc\nUnknown=1\nPositionMem=0X10\n"
                                "[RS485config]\nAddress=40\nBaudrate=+3\nAddress=5\n";
        ConfigSettings before = unusual();
        const ConfigSettings s = load(text, before);
        QCOMPARE(s.MaxCurrent, 60);
        QCOMPARE(s.RedCurrent, 60); // limited to the motor current
        QVERIFY(!s.RedCurrentON);   // not an integer: default 0
        QCOMPARE(s.Microstep, 5);
        QCOMPARE(s.MotorResol, 2); // "0x" alone is not an integer: default
        QCOMPARE(s.DefMinVel, QString("0,5"));
        QCOMPARE(s.DefMaxVel, QString("")); // present but empty is taken as it is
        QCOMPARE(s.DefAcc, QString("5"));
        QCOMPARE(s.EncoderMode, 1);      // any non-zero integer is true
        QCOMPARE(s.HomingMode, 1);       // a later true takes the selection over
        QCOMPARE(s.AinMode, 0);          // "2.0" is not an integer: default 0
        QCOMPARE(s.Units, before.Units); // 7 is outside the list
        QCOMPARE(s.Kp, QString("abc"));  // texts are not checked on loading
        QVERIFY(s.PositionMem);
        QCOMPARE(s.Address, before.Address); // the first "Address" counts, and 40 is outside
        QCOMPARE(s.Baudrate, 3);
    }

    void crLfFileAndValueLimit() {
        const QByteArray text = "[MOTIONconfig]\r\nDefAcc=" + QByteArray(3000, '7') + "\r\nDefMinVel=1\r\n";
        const ConfigSettings s = load(text);
        QCOMPARE(s.DefAcc.size(), 2047);
        QCOMPARE(s.DefMinVel, QString("1"));
        QVERIFY(!s.DefMinVel.contains('\r'));
    }

    void slidersAndOptionGroupsFollowLoadRules() {
        ConfigSettings s = load("[DRIVERconfig]\r\nMaxCurrent=3\r\nRedCurrent=50\r\n");
        QCOMPARE(s.MaxCurrent, 5);
        QCOMPARE(s.RedCurrent, 5);
        s = load("[DRIVERconfig]\r\nMaxCurrent=95\r\nRedCurrent=200\r\n", {}, limits(8, 80));
        QCOMPARE(s.MaxCurrent, 80);
        QCOMPARE(s.RedCurrent, 80);

        const QByteArray allOff =
            "[ENCODRconfig]\r\nModeOff=0\r\nModeInc=0\r\nModeAbs=0\r\n"
            "[HOMINGconfig]\r\nModeSimple=0\r\nModePrecision=0\r\nModeIntelligent=0\r\n";
        ConfigSettings before;
        before.EncoderMode = 1;
        before.HomingMode = 2;
        s = load(allOff, before);
        QCOMPARE(s.EncoderMode, NoSelection);
        QCOMPARE(s.HomingMode, NoSelection);

        // Every true option is a selection the page reacts to, in file order.
        ConfigSettings t;
        const ConfigFileLoad l = applyConfigFile(
            IniDocument::parse("[ENCODRconfig]\nModeOff=1\nModeInc=0\nModeAbs=1\n"), t, limits());
        QCOMPARE(l.encoderSelections, (QList<int>{0, 2}));
        QCOMPARE(t.EncoderMode, 2);

        // The step-division list of the connected model decides what fits.
        s = load("[DRIVERconfig]\r\nMicrostep=8\r\n", {}, limits(8));
        QCOMPARE(s.Microstep, InitialStepDivision);
        s = load("[DRIVERconfig]\r\nMicrostep=8\r\n", {}, limits(9));
        QCOMPARE(s.Microstep, 8);
    }

    void integerForms_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value"); // -999: not an integer
        QTest::newRow("decimal") << "42" << 42;
        QTest::newRow("negative") << "-7" << -7;
        QTest::newRow("hex") << "0x5" << 5;
        QTest::newRow("hex upper") << "0XfF" << 255;
        QTest::newRow("hex pattern") << "0xFFFFFFFF" << -1;
        QTest::newRow("hex too long") << "0x100000000" << -999;
        QTest::newRow("hex junk") << "0x5g" << -999;
        QTest::newRow("hex signed") << "0x-5" << -999;
        QTest::newRow("prefix only") << "0x" << -999;
        QTest::newRow("overflow") << "2147483648" << -999;
        QTest::newRow("trailing junk") << "5abc" << -999;
        QTest::newRow("empty") << "" << -999;
        QTest::newRow("sign only") << "-" << -999;
    }
    void integerForms() {
        QFETCH(QString, text);
        QFETCH(int, value);
        QCOMPARE(parseIniInteger(text).value_or(-999), value);
    }

    // Names match in any letter case and with blanks around; a commented-out header starts no
    // section; lines ended by CR alone are lines; a key added to a section moves the sections
    // after it down, and they are still found.
    void documentLookups() {
        IniDocument doc = IniDocument::parse("[Old]\rk=1\r; [New]\rk=hidden\r[ new ]\r K = 2 \r");
        const auto value = [&doc](const char* section, const char* key) {
            return doc.value(QString::fromLatin1(section), QString::fromLatin1(key))
                .value_or(QStringLiteral("none"));
        };
        QCOMPARE(value("NEW", "k"), QStringLiteral("2"));
        QCOMPARE(value("old", "K"), QStringLiteral("1"));
        QCOMPARE(value("[New]", "k"), QStringLiteral("none"));
        doc.setValue(QStringLiteral("old"), QStringLiteral("j"), QStringLiteral("3"));
        doc.setValue(QStringLiteral("New"), QStringLiteral("k"), QStringLiteral("4"));
        doc.setValue(QStringLiteral("Last"), QStringLiteral("m"), QStringLiteral("5"));
        doc.setValue(QStringLiteral("new"), QStringLiteral("n"), QStringLiteral("6"));
        QCOMPARE(value("Old", "J"), QStringLiteral("3"));
        QCOMPARE(value("new", "k"), QStringLiteral("4"));
        QCOMPARE(value("new", "n"), QStringLiteral("6"));
        QCOMPARE(value("LAST", "m"), QStringLiteral("5"));
        QCOMPARE(doc.toBytes(), QByteArray("[Old]\rk=1\r; [New]\rk=hidden\rj=3\r\n[ new ]\rk=4\r\nn=6\r\n"
                                           "\r\n[Last]\r\nm=5\r\n"));
    }

    // Saving over an existing file replaces the entries in place and keeps every other line.
    void updateKeepsForeignLines() {
        const QByteArray existing = "; written by hand\n"
                                    "[Notes]\n"
                                    "owner=line 3\n"
                                    "\n"
                                    "[driverconfig]\n"
                                    "maxcurrent = 10\n"
                                    "Extra=keep me\n"
                                    "\n"
                                    "; the motion section follows\n"
                                    "[MOTIONconfig]\r\n"
                                    "DefAcc=1\r\n"
                                    "[Tail]\n"
                                    "x=1"; // no line ending at the end
        const QByteArray out = writeConfigFile(existing, unusual());
        QVERIFY(out.startsWith(
            "; written by hand\n[Notes]\nowner=line 3\n\n[driverconfig]\n"
            "MaxCurrent=70\r\nExtra=keep me\nRedCurrent=45\r\nRedCurrentON=1\r\n"
            "Microstep=7\r\nMotorResol=5\r\n\n; the motion section follows\n"
            "[MOTIONconfig]\r\nDefAcc=33\r\nDefMinVel=0,5\r\nDefMaxVel=12.500\r\n"
            "[Tail]\nx=1\r\n\r\n[KVT-revizareduva ]\r\nversion=1.30\r\n\r\n[ENCODRconfig]\r\n"));
        QCOMPARE(out.count("MaxCurrent"), 1);
        QCOMPARE(out.count("[driverconfig]"), 1);
        QVERIFY(!out.contains("[DRIVERconfig]"));

        // What was written reads back, and a second save changes nothing more.
        ConfigSettings back = load(out);
        back.SsiWord = unusual().SsiWord;
        QCOMPARE(back, unusual());
        QCOMPARE(writeConfigFile(out, unusual()), out);
    }

    void latin1FileStaysLatin1() {
        const QByteArray existing = "[Notes]\r\nname=Pr\xea"
                                    "dko\r\n"; // not UTF-8
        ConfigSettings s = unusual();
        s.DefMinVel = QStringLiteral("ó");
        const QByteArray out = writeConfigFile(existing, s);
        QVERIFY(out.startsWith(existing));
        QVERIFY(out.contains("DefMinVel=\xf3\r\n"));
        QCOMPARE(load(out).DefMinVel, QString("ó"));
        QCOMPARE(load(writeConfigFile({}, s)).DefMinVel, QString("ó")); // UTF-8 for a new file
    }

    void savePathExtension_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("path");
        QTest::newRow("bare") << "/tmp/ustawienia"
                              << "/tmp/ustawienia.kvt";
        QTest::newRow("kvt") << "/tmp/a.kvt"
                             << "/tmp/a.kvt";
        QTest::newRow("upper") << "/tmp/a.KVT"
                               << "/tmp/a.KVT.kvt";
        QTest::newRow("txt") << "/tmp/a.txt"
                             << "/tmp/a.txt.kvt";
        QTest::newRow("dotted folder") << "/tmp/x.kvt/a"
                                       << "/tmp/x.kvt/a.kvt";
        QTest::newRow("windows folder") << "C:\\x.kvt\\a"
                                        << "C:\\x.kvt\\a.kvt";
    }
    void savePathExtension() {
        QFETCH(QString, chosen);
        QFETCH(QString, path);
        QCOMPARE(configSavePath(chosen), path);
    }

    void saveAndReadOnDisk() {
        QTemporaryDir dir;
        const QString path = dir.filePath("a.kvt");
        QCOMPARE(saveConfigFile(path, unusual()), std::nullopt);
        QCOMPARE(readConfigFile(path), std::optional(writeConfigFile({}, unusual())));
        QVERIFY(writeAll(path, "[Keep]\r\nme=1\r\n"));
        QCOMPARE(saveConfigFile(path, ConfigSettings{}), std::nullopt);
        QVERIFY(readAll(path).startsWith("[Keep]\r\nme=1\r\n\r\n[KVT-revizareduva ]"));

        QCOMPARE(readConfigFile(dir.filePath("missing.kvt")), std::nullopt);
        QCOMPARE(readConfigFile(dir.path()), std::nullopt); // a folder is no file
        const std::optional<QString> error = saveConfigFile(dir.filePath("no/such/folder.kvt"), unusual());
        QVERIFY(error);
        QVERIFY(error->startsWith(QString("Unable to write to %1\n").arg(dir.filePath("no/such/folder.kvt"))));
        QCOMPARE(readErrorText("/x.kvt"), QString("Unable to read /x.kvt"));
    }

    // A folder that takes no temporary file is reported, the file never rewritten in place; a
    // write that fails half way (a size limit, as a full disk) keeps the old file. Each names why.
    void failedSaveKeepsOldFile() {
        testing::ReadOnlyFolder folder;
        if (!folder.ready())
            QSKIP(qPrintable(folder.whyNot()));
        const QString path = folder.filePath("a.bin");
        std::optional<QString> error = saveConfigFile(path, unusual());
        QVERIFY(error);
        QVERIFY2(error->startsWith(QString("Unable to write to %1\n").arg(path)), qPrintable(*error));
        QVERIFY2(error->contains("cannot be written"), qPrintable(*error));
        QCOMPARE(readAll(path), QByteArray("old contents"));

        QTemporaryDir dir;
        const QString file = dir.filePath("b.kvt");
        const QByteArray old = "[Old]\r\nx=1\r\n";
        QVERIFY(writeAll(file, old));
        {
            testing::FileSizeLimit limit(old.size() + 20);
            error = saveConfigFile(file, unusual());
        }
        QVERIFY(error);
        QVERIFY2(error->endsWith(QString::fromLocal8Bit(std::strerror(EFBIG))), qPrintable(*error));
        QCOMPARE(readAll(file), old);
    }
};

QTEST_GUILESS_MAIN(TestConfigFile)
#include "test_config_file.moc"
