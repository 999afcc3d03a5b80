// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/core/ConfigFile.h"

#include "config/core/ModbusLink.h"
#include "version/Version.h"
#include "format/core/AtomicFile.h"

#include <QFile>
#include <QFileInfo>

namespace kvt::config {

namespace {

const QString VersionSection = QStringLiteral("KVT-revizareduva "); // the trailing blank is part of it
const QString Driver = QStringLiteral("DRIVERconfig");
const QString Motion = QStringLiteral("MOTIONconfig");
const QString Encoder = QStringLiteral("ENCODRconfig");
const QString Homing = QStringLiteral("HOMINGconfig");
const QString Ain = QStringLiteral("AINconfig");
const QString Other = QStringLiteral("OTHERconfig");
const QString PcProg = QStringLiteral("PCPROGconfig");
const QString Rs485 = QStringLiteral("RS485config");

QString flag(bool on) {
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

// Reads one entry of the file by the value forms of an INI file.
class EntryReader {
public:
    explicit EntryReader(const IniDocument& file) : file_(file) {}

    int integer(const QString& section, const QString& key, int fallback) const {
        const std::optional<QString> text = file_.value(section, key);
        if (!text)
            return fallback;
        return parseIniInteger(*text).value_or(fallback);
    }
    bool boolean(const QString& section, const QString& key, bool fallback) const {
        return integer(section, key, fallback ? 1 : 0) != 0;
    }
    QString text(const QString& section, const QString& key, const QString& fallback) const {
        return file_.value(section, key).value_or(fallback);
    }

private:
    const IniDocument& file_;
};

// A list position applied only when it lies within the list.
void applyPosition(int& position, int value, int count) {
    if (value >= 0 && value < count)
        position = value;
}

// One option of a group read from the file.
void applyOption(int& selected, int button, bool on, QList<int>* selections) {
    if (on) {
        selected = button;
        if (selections)
            selections->append(button);
    } else if (selected == button) {
        selected = NoSelection;
    }
}

} // namespace

QList<ConfigFileEntry> configFileEntries(const ConfigSettings& s) {
    const auto n = [](int v) { return QString::number(v); };
    return {
        {VersionSection, QStringLiteral("version"), QString::fromLatin1(kvt::ProgramVersion)},
        {Driver, QStringLiteral("MaxCurrent"), n(s.MaxCurrent)},
        {Driver, QStringLiteral("RedCurrent"), n(s.RedCurrent)},
        {Driver, QStringLiteral("RedCurrentON"), flag(s.RedCurrentON)},
        {Driver, QStringLiteral("Microstep"), n(s.Microstep)},
        {Driver, QStringLiteral("MotorResol"), n(s.MotorResol)},
        {Motion, QStringLiteral("DefMinVel"), s.DefMinVel},
        {Motion, QStringLiteral("DefMaxVel"), s.DefMaxVel},
        {Motion, QStringLiteral("DefAcc"), s.DefAcc},
        {Encoder, QStringLiteral("ModeOff"), flag(s.EncoderMode == 0)},
        {Encoder, QStringLiteral("ModeInc"), flag(s.EncoderMode == 1)},
        {Encoder, QStringLiteral("ModeAbs"), flag(s.EncoderMode == 2)},
        {Encoder, QStringLiteral("EncoderResol"), s.EncoderResol},
        {Homing, QStringLiteral("ModeSimple"), flag(s.HomingMode == 0)},
        {Homing, QStringLiteral("ModePrecision"), flag(s.HomingMode == 1)},
        {Homing, QStringLiteral("ModeIntelligent"), flag(s.HomingMode == 2)},
        {Ain, QStringLiteral("Mode"), n(s.AinMode)},
        {Ain, QStringLiteral("MinVal"), s.AinMinVal},
        {Ain, QStringLiteral("MaxVal"), s.AinMaxVal},
        {Other, QStringLiteral("HomieAsLimitSw"), flag(s.HomieAsLimitSw)},
        {Other, QStringLiteral("StartStopMode"), flag(s.StartStopMode)},
        {Other, QStringLiteral("OffAfterError"), flag(s.OffAfterError)},
        {Other, QStringLiteral("PositionMem"), flag(s.PositionMem)},
        {Other, QStringLiteral("RevToLinCoef"), s.RevToLinCoef},
        {Other, QStringLiteral("Kp"), s.Kp},
        {Other, QStringLiteral("Units"), n(s.Units)},
        {PcProg, QStringLiteral("Decp"), n(s.Decp)},
        {Rs485, QStringLiteral("Baudrate"), n(s.Baudrate)},
        {Rs485, QStringLiteral("Address"), n(s.Address)},
    };
}

QByteArray writeConfigFile(const QByteArray& existing, const ConfigSettings& s) {
    IniDocument doc = IniDocument::parse(existing);
    for (const ConfigFileEntry& e : configFileEntries(s))
        doc.setValue(e.section, e.key, e.value);
    return doc.toBytes();
}

ConfigFileLoad applyConfigFile(const IniDocument& file, ConfigSettings& s, const SettingsLimits& limits) {
    ConfigFileLoad load;
    const EntryReader r(file);

    // Every field now shows the file's own text, which is the value itself.
    s.shown = {};
    setMaxCurrent(s, r.integer(Driver, QStringLiteral("MaxCurrent"), 30), limits);
    setRedCurrent(s, r.integer(Driver, QStringLiteral("RedCurrent"), 20));
    s.RedCurrentON = r.boolean(Driver, QStringLiteral("RedCurrentON"), false);
    applyPosition(s.Microstep, r.integer(Driver, QStringLiteral("Microstep"), 6), limits.stepDivisionCount);
    applyPosition(s.MotorResol, r.integer(Driver, QStringLiteral("MotorResol"), 2), MotorResolutionCount);

    s.DefMinVel = r.text(Motion, QStringLiteral("DefMinVel"), QStringLiteral("0"));
    s.DefMaxVel = r.text(Motion, QStringLiteral("DefMaxVel"), QStringLiteral("2"));
    s.DefAcc = r.text(Motion, QStringLiteral("DefAcc"), QStringLiteral("5"));

    applyOption(s.EncoderMode, 0, r.boolean(Encoder, QStringLiteral("ModeOff"), true),
                &load.encoderSelections);
    applyOption(s.EncoderMode, 1, r.boolean(Encoder, QStringLiteral("ModeInc"), false),
                &load.encoderSelections);
    applyOption(s.EncoderMode, 2, r.boolean(Encoder, QStringLiteral("ModeAbs"), false),
                &load.encoderSelections);
    s.EncoderResol = r.text(Encoder, QStringLiteral("EncoderResol"), QStringLiteral("200"));

    applyOption(s.HomingMode, 0, r.boolean(Homing, QStringLiteral("ModeSimple"), true), nullptr);
    applyOption(s.HomingMode, 1, r.boolean(Homing, QStringLiteral("ModePrecision"), false), nullptr);
    applyOption(s.HomingMode, 2, r.boolean(Homing, QStringLiteral("ModeIntelligent"), false), nullptr);

    applyPosition(s.AinMode, r.integer(Ain, QStringLiteral("Mode"), 0), AnalogModeCount);
    s.AinMinVal = r.text(Ain, QStringLiteral("MinVal"), QStringLiteral("0"));
    s.AinMaxVal = r.text(Ain, QStringLiteral("MaxVal"), QStringLiteral("5"));

    s.HomieAsLimitSw = r.boolean(Other, QStringLiteral("HomieAsLimitSw"), false);
    s.StartStopMode = r.boolean(Other, QStringLiteral("StartStopMode"), false);
    s.OffAfterError = r.boolean(Other, QStringLiteral("OffAfterError"), false);
    s.PositionMem = r.boolean(Other, QStringLiteral("PositionMem"), false);
    s.RevToLinCoef = r.text(Other, QStringLiteral("RevToLinCoef"), QStringLiteral("1"));
    s.Kp = r.text(Other, QStringLiteral("Kp"), QStringLiteral("1"));
    applyPosition(s.Units, r.integer(Other, QStringLiteral("Units"), 0), UnitCount);

    applyPosition(s.Decp, r.integer(PcProg, QStringLiteral("Decp"), 3), DecimalsCount);

    applyPosition(s.Baudrate, r.integer(Rs485, QStringLiteral("Baudrate"), 2), ModbusRateCount);
    applyPosition(s.Address, r.integer(Rs485, QStringLiteral("Address"), 0), ModbusAddressCount);
    return load;
}

QString configSavePath(const QString& chosenPath) {
    const qsizetype slash =
        std::max(chosenPath.lastIndexOf(QLatin1Char('/')), chosenPath.lastIndexOf(QLatin1Char('\\')));
    const qsizetype dot = chosenPath.lastIndexOf(QLatin1Char('.'));
    const QString extension = dot > slash ? chosenPath.mid(dot) : QString();
    return extension == QLatin1String(".kvt") ? chosenPath : chosenPath + QStringLiteral(".kvt");
}

std::optional<QByteArray> readConfigFile(const QString& path) {
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

std::optional<QString> saveConfigFile(const QString& path, const ConfigSettings& s) {
    // An existing file is updated, so its other lines must be readable first: writing without
    // them would lose them.
    QByteArray existing;
    if (QFileInfo::exists(path)) {
        const std::optional<QByteArray> bytes = readConfigFile(path);
        if (!bytes)
            return writeErrorText(path) + QStringLiteral("\nwhat is there cannot be read as a file");
        existing = *bytes;
    }
    const QByteArray content = writeConfigFile(existing, s);

    // Through a temporary file only: a save in place would leave a cut file behind a kill or a
    // full disk. The first line is the message users know; the second names the cause.
    kvt::files::AtomicFile file(path);
    if (file.open() && file.write(content) && file.commit())
        return std::nullopt;
    return writeErrorText(path) + QLatin1Char('\n') + file.reason();
}

QString writeErrorText(const QString& path) {
    return QStringLiteral("Unable to write to %1").arg(path);
}

QString readErrorText(const QString& path) {
    return QStringLiteral("Unable to read %1").arg(path);
}

} // namespace kvt::config
