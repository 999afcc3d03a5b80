// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ConfigCommands.h"

#include "cli/DeviceChoice.h"
#include "cli/Options.h"
#include "cli/Words.h"
#include "config/core/ConfigFile.h"
#include "config/core/IniDocument.h"
#include "config/core/ModbusLink.h"
#include "link/HidDevice.h"
#include "link/OpCode.h"

#include <QJsonArray>
#include <cmath>

namespace kvt::cli {

namespace {

// The file's key of an entry the write reads.
QString entryKey(config::ConfigEntry entry) {
    switch (entry) {
    case config::ConfigEntry::DefMinVel:
        return QStringLiteral("DefMinVel");
    case config::ConfigEntry::DefMaxVel:
        return QStringLiteral("DefMaxVel");
    case config::ConfigEntry::DefAcc:
        return QStringLiteral("DefAcc");
    case config::ConfigEntry::EncoderResol:
        return QStringLiteral("EncoderResol");
    case config::ConfigEntry::AinMinVal:
        return QStringLiteral("MinVal");
    case config::ConfigEntry::AinMaxVal:
        return QStringLiteral("MaxVal");
    case config::ConfigEntry::RevToLinCoef:
        return QStringLiteral("RevToLinCoef");
    case config::ConfigEntry::Kp:
        break;
    }
    return QStringLiteral("Kp");
}

QJsonObject recordJson(const HeldConfig& held) {
    QJsonObject o;
    for (int f = 0; f <= int(ConfigField::Baudrate); ++f) {
        const auto field = ConfigField(f);
        o.insert(fieldName(field), valueJson(field, fieldValue(held, field)));
    }
    return o;
}

// The fields of a result about `device`; the command's envelope is added when it is printed.
QJsonObject resultJson(const HidDeviceInfo& device) {
    return {{QStringLiteral("device"), deviceJson(device)}};
}

std::optional<int> integerOption(ArgReader& args, const QStringList& names, int low, int high,
                                 const QString& what) {
    const std::optional<QString> text = args.value(names);
    if (!text)
        return std::nullopt;
    bool ok = false;
    const int v = text->toInt(&ok);
    if (!ok || v < low || v > high) {
        args.setError(what);
        return std::nullopt;
    }
    return v;
}

} // namespace

void readConfiguration(ControllerLink& link, const Texts& tr,
                       std::function<void(const config::ConfigReport&)> then) {
    link.request(config::readConfigCommand(), op::Configuration,
                 tr("reading the configuration (99)", "odczytu konfiguracji (99)"),
                 [then = std::move(then)](const Response& r) { then(config::decodeConfigReport(r.data)); });
}

ConfigGetCommand::ConfigGetCommand(Session& session, ArgReader& args) : Command(session) {
    output_ = args.value({QStringLiteral("-o"), QStringLiteral("--output")}).value_or(QString());
    decimals_ = integerOption(args, {QStringLiteral("--decimals")}, 0, 4,
                              tr_("--decimals takes 0 to 4", "--decimals przyjmuje wartości od 0 do 4"));
    if (!args.positionals().isEmpty())
        args.setError(tr_("config get takes no file; write it with -o FILE",
                          "config get nie przyjmuje pliku; zapisz go opcją -o PLIK"));
}

void ConfigGetCommand::start(ControllerLink* link, std::optional<Model> model) {
    readConfiguration(*link, tr_, [this, link, model = *model](const config::ConfigReport& report) {
        const config::SettingsLimits limits = limitsFor(model, decimals_.value_or(defaultDecimals(model)));
        const config::ConfigSettings settings = settingsFromReport(model, report, limits);
        const HidDeviceInfo& device = link->device()->info();
        QString path;
        if (!output_.isEmpty()) {
            path = config::configSavePath(output_);
            if (const std::optional<QString> error = config::saveConfigFile(path, settings)) {
                fail(Exit::Failure, *error);
                return;
            }
            out().line(tr_("configuration of %1 saved to %2", "konfiguracja %1 zapisana do %2")
                           .arg(deviceLabel(device), path));
        } else {
            out().raw(config::writeConfigFile({}, settings));
        }
        QJsonObject o = resultJson(device);
        o.insert(QStringLiteral("file"), path.isEmpty() ? QJsonValue() : QJsonValue(path));
        QJsonArray entries;
        for (const config::ConfigFileEntry& e : config::configFileEntries(settings))
            entries.append(QJsonObject{{QStringLiteral("section"), e.section},
                                       {QStringLiteral("key"), e.key},
                                       {QStringLiteral("value"), e.value}});
        o.insert(QStringLiteral("entries"), entries);
        o.insert(QStringLiteral("record"), recordJson(heldConfig(report)));
        succeed(o);
    });
}

ConfigSetCommand::ConfigSetCommand(Session& session, ArgReader& args, Mode mode)
    : Command(session), mode_(mode) {
    if (mode_ == Mode::Set) {
        dryRun_ = args.flag({QStringLiteral("--dry-run"), QStringLiteral("-n")});
        modbusAddress_ = integerOption(
            args, {QStringLiteral("--modbus-address")}, 1, config::ModbusAddressCount,
            tr_("--modbus-address takes 1 to 32", "--modbus-address przyjmuje wartości od 1 do 32"));
    }
    modbus_ = args.flag({QStringLiteral("--modbus")}) || modbusAddress_.has_value();
    const QStringList files = args.positionals();
    if (files.size() != 1)
        args.setError(
            tr_("%1 takes one configuration file", "%1 wymaga jednego pliku konfiguracji").arg(name()));
    else
        file_ = files.first();
}

void ConfigSetCommand::start(ControllerLink* link, std::optional<Model> model) {
    link_ = link;
    model_ = *model;
    readConfiguration(*link_, tr_, [this](const config::ConfigReport& report) { plan(report); });
}

void ConfigSetCommand::plan(const config::ConfigReport& report) {
    // The file is read after the record, so that it is the file as it is at the time of writing.
    const std::optional<QByteArray> bytes = config::readConfigFile(file_);
    if (!bytes) {
        fail(Exit::Failure,
             tr_("cannot read %1; check the file name", "nie można odczytać %1; sprawdź nazwę pliku")
                 .arg(file_));
        return;
    }
    before_ = heldConfig(report);
    const config::SettingsLimits limits = limitsFor(model_, defaultDecimals(model_));
    config::ConfigSettings settings = settingsFromReport(model_, report, limits);
    const config::IniDocument doc = config::IniDocument::parse(*bytes);
    // The load rules give a missing entry its default, not the controller's value: say so.
    QStringList missing;
    const QList<config::ConfigFileEntry> entries = config::configFileEntries(settings).mid(1);
    for (const config::ConfigFileEntry& e : entries) {
        if (!doc.value(e.section, e.key))
            missing.append(e.key);
    }
    // A file without a single entry (another kind of file, random bytes) would put every
    // default into the drive: it is no configuration file, and nothing is written.
    if (missing.size() == entries.size()) {
        fail(Exit::Failure, tr_("%1 holds no configuration entry; nothing was written",
                                "%1 nie zawiera żadnego wpisu konfiguracji; niczego nie zapisano")
                                .arg(file_));
        return;
    }
    if (!missing.isEmpty())
        out().warning(name() + tr_(": %1 lacks %2; the load rules give them their defaults",
                                   ": w %1 brakuje %2; zasady wczytywania nadają im wartości domyślne")
                                   .arg(file_, missing.join(QStringLiteral(", "))));
    config::applyConfigFile(doc, settings, limits);

    // What the window's rules limit silently is told here.
    const auto note = [&](const QString& section, const QString& key, double applied) {
        const std::optional<QString> text = doc.value(section, key);
        const std::optional<double> value = text ? fmt::readDecimal(*text) : std::nullopt;
        if (value && float(*value) != float(applied))
            adjusted_.append(tr_("%1 %2 in the file is taken as %3", "%1 %2 z pliku przyjęto jako %3")
                                 .arg(key, *text, numberText(float(applied))));
    };
    note(QStringLiteral("DRIVERconfig"), QStringLiteral("MaxCurrent"), settings.MaxCurrent);
    note(QStringLiteral("DRIVERconfig"), QStringLiteral("RedCurrent"), settings.RedCurrent);

    const config::ConfigSettings entered = settings;
    const config::WritePreparation prep = config::prepareConfigWrite(settings, limits);
    if (!prep.command) {
        config::ConfigSettings copy = entered;
        const config::ConfigEntry entry = *prep.invalid;
        fail(Exit::Failure, tr_("%1: %2 \"%3\" is not a number; correct the file",
                                "%1: %2 \"%3\" nie jest liczbą; popraw plik")
                                .arg(file_, entryKey(entry), config::entryText(copy, entry)));
        return;
    }
    write_ = *prep.command;
    note(QStringLiteral("MOTIONconfig"), QStringLiteral("DefMinVel"), write_.DefMinVel);
    note(QStringLiteral("MOTIONconfig"), QStringLiteral("DefMaxVel"), write_.DefMaxVel);
    note(QStringLiteral("MOTIONconfig"), QStringLiteral("DefAcc"), write_.DefAcc);
    if (write_.EncoderMode == 1)
        note(QStringLiteral("ENCODRconfig"), QStringLiteral("EncoderResol"), write_.EncoderResol);
    note(QStringLiteral("OTHERconfig"), QStringLiteral("Kp"), write_.Kp);

    planned_ = plannedConfig(write_, settings);
    if (modbusAddress_)
        planned_.address = *modbusAddress_;
    if (modbus_ && (planned_.baudrate < 0 || planned_.baudrate >= config::ModbusRateCount)) {
        fail(Exit::Failure,
             tr_("%1 names no Modbus baud rate (RS485config, Baudrate); correct the file or leave "
                 "out --modbus",
                 "%1 nie podaje prędkości Modbus (RS485config, Baudrate); popraw plik lub pomiń "
                 "--modbus")
                 .arg(file_));
        return;
    }
    for (const QString& a : std::as_const(adjusted_))
        out().warning(name() + QStringLiteral(": ") + a);

    const QList<FieldChange> changes = differences(before_, planned_, modbus_);
    const HidDeviceInfo& device = link_->device()->info();
    if (mode_ == Mode::Diff || dryRun_) {
        if (mode_ == Mode::Diff)
            printChanges(tr_("%1 differs from %2:", "%1 różni się od %2:").arg(file_, deviceLabel(device)),
                         changes);
        else
            printChanges(tr_("%1 would change on %2:", "%1 zmieniłby w %2:").arg(file_, deviceLabel(device)),
                         changes);
        if (changes.isEmpty())
            out().line(tr_("no differences", "brak różnic"));
        QJsonObject o = resultJson(device);
        o.insert(QStringLiteral("file"), file_);
        o.insert(QStringLiteral("differences"), changesJson(changes));
        // A difference found by config diff is its result, shown above: the run ends with exit
        // 6 and no further message.
        if (mode_ == Mode::Diff && !changes.isEmpty())
            fail(Exit::Mismatch, QString(), o);
        else
            succeed(o);
        return;
    }
    write();
}

void ConfigSetCommand::write() {
    const auto readBack = [this] {
        readConfiguration(*link_, tr_, [this](const config::ConfigReport& report) { verify(report); });
    };
    link_->request(config::encodeConfigWrite(write_), op::WriteConfiguration,
                   tr_("writing the configuration (236)", "zapisu konfiguracji (236)"),
                   [this, readBack](const Response&) {
                       if (!modbus_) {
                           readBack();
                           return;
                       }
                       link_->request(
                           config::encodeModbusLink(planned_.baudrate, planned_.address - 1),
                           op::SetModbusLink,
                           tr_("writing the Modbus settings (222)", "zapisu ustawień Modbus (222)"),
                           [readBack](const Response&) { readBack(); });
                   });
}

void ConfigSetCommand::verify(const config::ConfigReport& report) {
    const HeldConfig held = heldConfig(report);
    const QList<FieldChange> changes = differences(before_, held, modbus_);
    const QList<Mismatch> wrong = mismatches(before_, planned_, held, modbus_);
    const HidDeviceInfo& device = link_->device()->info();

    printChanges(tr_("written to %1:", "zapisano do %1:").arg(deviceLabel(device)), changes);
    if (changes.isEmpty())
        out().line(wrong.isEmpty() ? tr_("nothing changed: the controller already held these values",
                                         "bez zmian: sterownik miał już te wartości")
                                   : tr_("nothing changed", "bez zmian"));
    QStringList names;
    QJsonArray wrongJson;
    for (const Mismatch& m : wrong) {
        names.append(fieldName(m.field));
        QString how;
        QString kind;
        switch (m.kind) {
        case Mismatch::Kind::Limited:
            how = tr_("limited by the controller", "ograniczone przez sterownik");
            kind = QStringLiteral("limited");
            break;
        case Mismatch::Kind::Refused:
            how =
                tr_("refused: the controller kept its value", "odrzucone: sterownik zachował swoją wartość");
            kind = QStringLiteral("refused");
            break;
        case Mismatch::Kind::Replaced:
            how = tr_("replaced by the controller", "zastąpione przez sterownik");
            kind = QStringLiteral("replaced");
            break;
        }
        out().line(tr_("  %1: written %2, holds %3 (%4)", "  %1: zapisano %2, jest %3 (%4)")
                       .arg(fieldName(m.field), valueText(m.field, m.written, model_, tr_),
                            valueText(m.field, m.held, model_, tr_), how));
        wrongJson.append(QJsonObject{{QStringLiteral("field"), fieldName(m.field)},
                                     {QStringLiteral("written"), valueJson(m.field, m.written)},
                                     {QStringLiteral("held"), valueJson(m.field, m.held)},
                                     {QStringLiteral("kind"), kind}});
    }
    QJsonObject o = resultJson(device);
    o.insert(QStringLiteral("file"), file_);
    o.insert(QStringLiteral("changed"), changesJson(changes));
    o.insert(QStringLiteral("mismatches"), wrongJson);
    QJsonArray adjusted;
    for (const QString& a : std::as_const(adjusted_))
        adjusted.append(a);
    o.insert(QStringLiteral("adjusted"), adjusted);
    if (!wrong.isEmpty()) {
        fail(Exit::Mismatch,
             tr_("the controller holds other values than were written (%1); it limits or refuses "
                 "them: check these values in %2",
                 "sterownik ma inne wartości niż zapisane (%1); ogranicza je lub odrzuca: sprawdź "
                 "te wartości w %2")
                 .arg(names.join(QStringLiteral(", ")), file_),
             o);
        return;
    }
    succeed(o);
}

void ConfigSetCommand::printChanges(const QString& title, const QList<FieldChange>& changes) const {
    if (changes.isEmpty())
        return;
    out().line(title);
    for (const FieldChange& c : changes)
        out().line(QStringLiteral("  %1: %2 -> %3")
                       .arg(fieldName(c.field), valueText(c.field, c.from, model_, tr_),
                            valueText(c.field, c.to, model_, tr_)));
}

QJsonArray ConfigSetCommand::changesJson(const QList<FieldChange>& changes) const {
    QJsonArray a;
    for (const FieldChange& c : changes)
        a.append(QJsonObject{{QStringLiteral("field"), fieldName(c.field)},
                             {QStringLiteral("controller"), valueJson(c.field, c.from)},
                             {mode_ == Mode::Set && !dryRun_ ? QStringLiteral("now") : QStringLiteral("file"),
                              valueJson(c.field, c.to)}});
    return a;
}

FactoryResetCommand::FactoryResetCommand(Session& session, ArgReader& args) : Command(session) {
    const bool yes = args.flag({QStringLiteral("--yes"), QStringLiteral("-y")});
    if (!args.positionals().isEmpty())
        args.setError(tr_("factory-reset takes no arguments", "factory-reset nie przyjmuje argumentów"));
    else if (!yes)
        args.setError(tr_("factory-reset replaces the whole configuration; confirm with --yes",
                          "factory-reset zastępuje całą konfigurację; potwierdź opcją --yes"));
}

void FactoryResetCommand::start(ControllerLink* link, std::optional<Model>) {
    link->request(config::factoryResetCommand(), op::FactoryReset,
                  tr_("restoring the factory settings (221)", "przywracania ustawień fabrycznych (221)"),
                  [this, link](const Response&) {
                      readConfiguration(*link, tr_, [this, link](const config::ConfigReport& report) {
                          const HidDeviceInfo& device = link->device()->info();
                          out().line(
                              tr_("factory settings restored on %1", "przywrócono ustawienia fabryczne w %1")
                                  .arg(deviceLabel(device)));
                          QJsonObject o = resultJson(device);
                          o.insert(QStringLiteral("record"), recordJson(heldConfig(report)));
                          succeed(o);
                      });
                  });
}

} // namespace kvt::cli
