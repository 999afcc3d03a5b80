// SPDX-License-Identifier: GPL-3.0-or-later
// The rules of kvtctl that need no controller: the command line, the choice of device, register
// names, the comparison of configurations and the encoder verdict.

#include "cli/ConfigComparison.h"
#include "cli/DeviceChoice.h"
#include "cli/EncoderTestCommand.h"
#include "cli/Options.h"
#include "cli/RegisterCommands.h"
#include "config/core/ConfigFile.h"
#include "config/core/IniDocument.h"

#include <QLocale>
#include <QTest>

using namespace kvt;
using namespace kvt::cli;

namespace {

const Texts En(Language::English);

HidDeviceInfo device(const QString& path, const QString& product, const QString& serial, quint32 instance,
                     bool access = true) {
    HidDeviceInfo d;
    d.path = path;
    d.product = product;
    d.serial = serial;
    d.instance = instance;
    d.access = access;
    d.vendorId = 0x0483;
    d.productId = 0x5750;
    return d;
}

// A record whose values all show exactly with one decimal.
config::ConfigReport report(quint8 microstep) {
    config::ConfigReport r;
    r.DefMinVel = 0.5f;
    r.DefMaxVel = 12.5f;
    r.DefAcc = 40;
    r.EncoderResol = 2000;
    r.EncoderMode = 1;
    r.Microstep = microstep;
    r.MaxCurrent = 60;
    r.RedCurrent = 30;
    r.HomingMode = 2;
    r.Address = 7;
    r.Baudrate = 3;
    r.MotorResol = 4;
    r.OffAfterError = 1;
    r.StartStopMode = 1;
    r.AinMode = 1;
    r.AinMinVal = -2.5f;
    r.AinMaxVal = 7.5f;
    r.RevToLinCoef = 2.5f;
    r.Units = 1;
    r.Kp = 42;
    return r;
}

// What `config set` of `file` plans for a controller holding `held`.
HeldConfig plan(Model model, const config::ConfigReport& held, const QByteArray& file) {
    const config::SettingsLimits limits = limitsFor(model, defaultDecimals(model));
    config::ConfigSettings s = settingsFromReport(model, held, limits);
    config::applyConfigFile(config::IniDocument::parse(file), s, limits);
    const config::WritePreparation prep = config::prepareConfigWrite(s, limits);
    return prep.command ? plannedConfig(*prep.command, s) : HeldConfig{};
}

} // namespace

class TestCliRules : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void globalOptionsStandAnywhere() {
        const Invocation inv = parseInvocation({"config", "--json", "set", "a.kvt", "--device=/dev/hidraw3",
                                                "--dry-run", "--timeout", "2s", "--lang", "pl"},
                                               En);
        QVERIFY2(inv.error.isEmpty(), qPrintable(inv.error));
        QCOMPARE(inv.words, (QStringList{"config", "set", "a.kvt", "--dry-run"}));
        QVERIFY(inv.options.json);
        QCOMPARE(inv.options.device, QString("/dev/hidraw3"));
        QCOMPARE(inv.options.timeoutMs, 2000);
        QVERIFY(inv.options.language == Language::Polish);

        QCOMPARE(parseInvocation({"--simulate", "list"}, En).options.simulate, QStringList{"KVT318"});
        QCOMPARE(parseInvocation({"--simulate=KVT317,PXA-KVT", "list"}, En).options.simulate,
                 (QStringList{"KVT317", "PXA-KVT"}));
        // "--simulate KVT317" is the default model followed by a word, not a model.
        QCOMPARE(parseInvocation({"--simulate", "KVT317"}, En).words, QStringList{"KVT317"});
    }

    // A command's options may also stand before the command; it reads them, and only its own.
    void commandOptionsTravelWithTheCommand() {
        const Invocation inv = parseInvocation({"--to", "-5", "--allow-motion", "move", "--json"}, En);
        QVERIFY2(inv.error.isEmpty(), qPrintable(inv.error));
        QCOMPARE(inv.words, (QStringList{"move", "--to=-5", "--allow-motion"}));
        ArgReader move(inv.words.mid(1), En);
        QCOMPARE(move.value({"--to"}).value_or(""), QString("-5"));
        QVERIFY(move.flag({"--allow-motion"}));
        QVERIFY(move.positionals().isEmpty() && move.ok());

        ArgReader list(parseInvocation({"list", "--to", "5"}, En).words.mid(1), En);
        QVERIFY(list.positionals().isEmpty());
        QCOMPARE(list.error(), QString("unknown option --to"));

        QCOMPARE(parseInvocation({"status", "--bogus"}, En).error, QString("unknown option --bogus"));
        QCOMPARE(parseInvocation({"status", "--bogus"}, En).words, QStringList{"status"});
        QCOMPARE(parseInvocation({"list", "--timeout"}, En).error, QString("--timeout needs a value"));
        QVERIFY(!parseInvocation({"--json=yes", "list"}, En).error.isEmpty());
    }

    void globalOptionErrors_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("unknown model") << QStringList{"--simulate=KVT319", "list"};
        QTest::newRow("model in other case") << QStringList{"--simulate=kvt318", "list"};
        QTest::newRow("language") << QStringList{"--lang", "de", "list"};
        QTest::newRow("timeout not a time") << QStringList{"--timeout", "soon", "list"};
        QTest::newRow("timeout zero") << QStringList{"--timeout=0", "list"};
        QTest::newRow("device without name") << QStringList{"list", "--device"};
        QTest::newRow("state without simulation") << QStringList{"--sim-state", "s.json", "list"};
    }
    void globalOptionErrors() {
        QFETCH(QStringList, args);
        QVERIFY(!parseInvocation(args, En).error.isEmpty());
    }

    void commandArguments() {
        ArgReader move({"--by", "-2,5", "--allow-motion"}, En);
        QVERIFY(!move.value({"--to"}));
        QCOMPARE(move.value({"--by"}).value_or(""), QString("-2,5")); // a negative number is a value
        QVERIFY(move.flag({"--allow-motion"}));
        QVERIFY(move.positionals().isEmpty() && move.ok());

        bool watch = false;
        ArgReader plain({"--watch"}, En);
        QVERIFY(!plain.optionalValue({"--watch"}, &watch));
        QVERIFY(watch);
        ArgReader period({"--watch", "250ms"}, En);
        QCOMPARE(period.optionalValue({"--watch"}, &watch).value_or(""), QString("250ms"));
        ArgReader file({"--watch", "extra"}, En); // a word that is no period stays a positional
        QVERIFY(!file.optionalValue({"--watch"}, &watch));
        QCOMPARE(file.positionals(), QStringList{"extra"});

        ArgReader unknown({"a.kvt", "--force"}, En);
        unknown.positionals();
        QVERIFY(!unknown.ok());
        ArgReader missing({"-o"}, En);
        QVERIFY(!missing.value({"-o"}));
        QVERIFY(!missing.ok());

        QCOMPARE(parseDuration("1.5s").value_or(-1), 1500);
        QCOMPARE(parseDuration("200ms").value_or(-1), 200);
        QCOMPARE(parseDuration("200").value_or(-1), 200);
        QVERIFY(!parseDuration("-5"));
    }

    void registerNames() {
        const auto list = parseRegisterList({"R50..R56", "r96", "60"}, En);
        QCOMPARE(std::get<QList<int>>(list), (QList<int>{50, 52, 54, 56, 96, 60}));
        QCOMPARE(std::get<QList<int>>(parseRegisterList({}, En)).size(), 24); // R50..R96
        for (const QString bad : {"R51", "R48", "R100", "R60..R50", "R50..", "x"})
            QVERIFY2(std::holds_alternative<QString>(parseRegisterList({bad}, En)), qPrintable(bad));

        const auto comma = parseRegisterValue("R70=-2,5", En);
        QCOMPARE(std::get<RegisterValue>(comma).n, 70);
        QCOMPARE(std::get<RegisterValue>(comma).value, -2.5f);
        QCOMPARE(std::get<RegisterValue>(parseRegisterValue("R98=1e3", En)).value, 1000.0f);
        for (const QString bad : {"R50", "R50=", "R51=1", "R50=abc", "R50=1e40", "=1"})
            QVERIFY2(std::holds_alternative<QString>(parseRegisterValue(bad, En)), qPrintable(bad));
    }

    void deviceChoice() {
        const QList<HidDeviceInfo> one = {device("/dev/hidraw0", "USB Keyboard", "", 3),
                                          device("/dev/hidraw1", "KVT318", "A1", 0x1A)};
        QCOMPARE(std::get<int>(chooseDevice(one, "", En)), 1);
        QCOMPARE(std::get<int>(chooseDevice(one, "/dev/hidraw1", En)), 1);
        QCOMPARE(std::get<int>(chooseDevice(one, "A1", En)), 1);
        QCOMPARE(std::get<int>(chooseDevice(one, "001a", En)), 1); // the instance, as list shows it
        QCOMPARE(std::get<Failure>(chooseDevice(one, "/dev/hidraw0", En)).exit, Exit::NoDevice);
        QCOMPARE(std::get<Failure>(chooseDevice(one, "/dev/hidraw9", En)).exit, Exit::NoDevice);

        const QList<HidDeviceInfo> two = one + QList{device("/dev/hidraw2", "PXA-KVT", "B2", 0x1B)};
        const Failure several = std::get<Failure>(chooseDevice(two, "", En));
        QCOMPARE(several.exit, Exit::NoDevice);
        QVERIFY(several.message.contains("/dev/hidraw1") && several.message.contains("/dev/hidraw2") &&
                !several.message.contains("hidraw0"));
        QCOMPARE(std::get<int>(chooseDevice(two, "B2", En)), 2);

        const QList<HidDeviceInfo> locked = {device("/dev/hidraw4", "KVT317", "", 4, false)};
        const Failure denied = std::get<Failure>(chooseDevice(locked, "", En));
        QCOMPARE(denied.exit, Exit::NoAccess);
        QVERIFY(denied.message.contains("udev"));
        QCOMPARE(std::get<Failure>(chooseDevice({}, "", En)).exit, Exit::NoDevice);
        // A product string that only resembles a model's is no controller.
        QCOMPARE(std::get<Failure>(chooseDevice({device("/dev/hidraw5", "KVT318 ", "", 5)}, "", En)).exit,
                 Exit::NoDevice);
    }

    // config get, then config set of the unedited file, plans no change: on every model, with a
    // point or a comma as the decimal mark.
    void savedConfigurationWritesBackUnchanged_data() {
        QTest::addColumn<int>("model");
        QTest::addColumn<int>("microstep");
        QTest::addColumn<bool>("polish");
        QTest::newRow("KVT318 1/128") << int(Model::Kvt318) << 128 << false;
        QTest::newRow("KVT318 comma") << int(Model::Kvt318) << 40 << true;
        QTest::newRow("KVT317 1/64 is code 40") << int(Model::Kvt317) << 40 << true;
        QTest::newRow("PXA-KVT one decimal") << int(Model::PxaKvt) << 64 << false;
    }
    void savedConfigurationWritesBackUnchanged() {
        QFETCH(int, model);
        QFETCH(int, microstep);
        QFETCH(bool, polish);
        if (polish)
            QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
        const auto m = Model(model);
        const config::ConfigReport held = report(quint8(microstep));
        const QByteArray file =
            config::writeConfigFile({}, settingsFromReport(m, held, limitsFor(m, defaultDecimals(m))));
        QCOMPARE(file.contains("12,5"), polish);
        QCOMPARE(differences(heldConfig(held), plan(m, held, file), true), QList<FieldChange>{});
    }

    // An edited file plans exactly its edits; what only the Modbus settings or an unused
    // encoder resolution differ in counts only where it is written.
    void editedFilePlansItsEdits() {
        const config::ConfigReport held = report(16);
        QByteArray file =
            config::writeConfigFile({}, settingsFromReport(Model::Kvt318, held, limitsFor(Model::Kvt318, 3)));
        file.replace("DefMaxVel=12.500", "DefMaxVel=20,25")
            .replace("Kp=42", "Kp=250")
            .replace("Address=6", "Address=20");
        const QList<FieldChange> changes =
            differences(heldConfig(held), plan(Model::Kvt318, held, file), false);
        QCOMPARE(changes.size(), 2);
        QCOMPARE(changes[0].field, ConfigField::DefMaxVel);
        QCOMPARE(changes[0].to, 20.25);
        QCOMPARE(changes[1].field, ConfigField::Kp);
        QCOMPARE(changes[1].to, 100.0); // the window's rules limit the gain to 100
        const QList<FieldChange> withModbus =
            differences(heldConfig(held), plan(Model::Kvt318, held, file), true);
        QCOMPARE(withModbus.last().field, ConfigField::Address);
        QCOMPARE(withModbus.last().to, 21.0);

        file.replace("ModeInc=1", "ModeInc=0")
            .replace("ModeOff=0", "ModeOff=1")
            .replace("EncoderResol=2000", "EncoderResol=5");
        const QList<FieldChange> noEncoder =
            differences(heldConfig(held), plan(Model::Kvt318, held, file), false);
        QVERIFY(std::none_of(noEncoder.begin(), noEncoder.end(),
                             [](const FieldChange& c) { return c.field == ConfigField::EncoderResol; }));
    }

    void mismatchesTellWhatTheControllerDid() {
        HeldConfig before;
        before.record.DefMaxVel = 5;
        before.record.Microstep = 16;
        before.record.Units = 0;
        HeldConfig written = before;
        written.record.DefMaxVel = 9000;
        written.record.Microstep = 128;
        written.record.Units = 2;
        HeldConfig held = before;
        held.record.DefMaxVel = 156.25f;
        held.record.Units = 1;
        const QList<Mismatch> m = mismatches(before, written, held, false);
        QCOMPARE(m.size(), 3);
        QCOMPARE(m[0].field, ConfigField::Microstep);
        QCOMPARE(m[0].kind, Mismatch::Kind::Refused);
        QCOMPARE(m[1].field, ConfigField::DefMaxVel);
        QCOMPARE(m[1].kind, Mismatch::Kind::Limited);
        QCOMPARE(m[1].held, 156.25);
        QCOMPARE(m[2].field, ConfigField::Units);
        QCOMPARE(m[2].kind, Mismatch::Kind::Replaced);
        // Held again at the limit reached before: still limited, not refused.
        QCOMPARE(mismatches(held, written, held, false)[1].kind, Mismatch::Kind::Limited);
        QVERIFY(mismatches(held, held, held, true).isEmpty());
    }

    void valuesInWords() {
        QCOMPARE(valueText(ConfigField::Microstep, 40, Model::Kvt317, En), QString("1/64"));
        QCOMPARE(valueText(ConfigField::Microstep, 40, Model::Kvt318, En), QString("1/40"));
        QCOMPARE(valueText(ConfigField::MotorResol, 4, Model::Kvt318, En), QString("48 steps/rev"));
        QCOMPARE(valueText(ConfigField::Baudrate, 4, Model::Kvt318, En), QString("115200"));
        QCOMPARE(valueText(ConfigField::EncoderMode, 7, Model::Kvt318, En), QString("7"));
        QCOMPARE(valueText(ConfigField::Units, 0, Model::Kvt318, Texts(Language::Polish)), QString("obr."));
    }

    void encoderVerdict() {
        using V = EncoderJudgement::Verdict;
        QCOMPARE(judgeEncoderTest(1005, 0, 1, 1000).verdict, V::Correct);
        QCOMPARE(judgeEncoderTest(994, 0, 1, 1000).verdict, V::ResolutionDoubtful);
        QCOMPARE(judgeEncoderTest(1022, 0, 2, 1024).verdict, V::Correct);
        QCOMPARE(judgeEncoderTest(1027, 0, 2, 1024).verdict, V::ResolutionDoubtful);
        QCOMPARE(judgeEncoderTest(256, 0, 2, 2048).verdict, V::Correct); // an odd size counts as 8 bit
        QCOMPARE(judgeEncoderTest(-1000, 0, 1, 1000).verdict, V::ResolutionDoubtful);
        QCOMPARE(judgeEncoderTest(1000, 1, 1, 1000).verdict, V::ChannelsSwapped);
        QCOMPARE(judgeEncoderTest(0, 2, 1, 1000).verdict, V::NoSignal);
        QCOMPARE(judgeEncoderTest(1000, 3, 1, 1000).verdict, V::Unknown);
        QCOMPARE(judgeEncoderTest(std::numeric_limits<qint32>::min(), 0, 1, 10000).verdict,
                 V::ResolutionDoubtful);
    }
};

QTEST_GUILESS_MAIN(TestCliRules)
#include "test_cli_rules.moc"
