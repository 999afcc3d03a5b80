// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Options.h"

#include "link/Model.h"

#include <QCommandLineParser>
#include <cmath>

namespace kvt::cli {

namespace {

// An option kvtctl knows: its names without dashes ("dry-run", "n") and whether it takes a value.
struct KnownOption {
    QStringList names;
    bool takesValue = false;
};

const QList<KnownOption>& globalOptions() {
    static const QList<KnownOption> Known = {
        {{"device"}, true}, {{"simulate"}, true}, {{"sim-state"}, true}, {{"timeout"}, true},
        {{"json"}, false},  {{"lang"}, true},     {{"version"}, false},  {{"help", "h"}, false},
    };
    return Known;
}

// The options of every command; each command takes the ones it asks its ArgReader for.
const QList<KnownOption>& commandOptions() {
    static const QList<KnownOption> Known = {
        {{"watch", "w"}, true},
        {{"output", "o"}, true},
        {{"decimals"}, true},
        {{"dry-run", "n"}, false},
        {{"modbus"}, false},
        {{"modbus-address"}, true},
        {{"address"}, true},
        {{"no-verify"}, false},
        {{"yes", "y"}, false},
        {{"to"}, true},
        {{"by"}, true},
        {{"speed"}, true},
        {{"allow-motion"}, false},
        {{"wait"}, false},
        {{"decode", "d"}, false},
        {{"operator"}, true},
        {{"site"}, true},
        {{"notes"}, true},
    };
    return Known;
}

QString dashed(const QString& name) {
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

QString undashed(QString word) {
    while (word.startsWith(QLatin1Char('-')))
        word.remove(0, 1);
    return word.left(word.indexOf(QLatin1Char('=')));
}

const KnownOption* findKnown(const QList<KnownOption>& known, const QString& name) {
    for (const KnownOption& decl : known) {
        if (decl.names.contains(name))
            return &decl;
    }
    return nullptr;
}

// The options whose value may be left out get it written in: "--simulate" alone is the default
// model; "--watch" alone, or followed by a word that is no period, is "--watch=" (the default
// period). QCommandLineParser knows only options that always or never take a value.
QStringList withOptionalValues(const QStringList& arguments) {
    QStringList args;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& word = arguments[i];
        if (word == QLatin1String("--simulate")) {
            args.append(QStringLiteral("--simulate=KVT318"));
        } else if (word == QLatin1String("--watch") || word == QLatin1String("-w")) {
            const bool period = i + 1 < arguments.size() && !arguments[i + 1].startsWith(QLatin1Char('-')) &&
                                parseDuration(arguments[i + 1]);
            args.append(period ? word : QStringLiteral("--watch="));
        } else {
            args.append(word);
        }
    }
    return args;
}

struct ParsedLine {
    struct Option {
        const KnownOption* decl = nullptr;
        QString name;  // as written, with its dashes
        QString value; // null for a flag
    };
    QList<Option> options; // in the order given
    QStringList positionals;
    QString error;
};

// One reading of `arguments` with QCommandLineParser, knowing the options of `known`.
ParsedLine parseLine(const QStringList& arguments, const QList<KnownOption>& known, const Texts& tr) {
    const QStringList args = withOptionalValues(arguments);
    QCommandLineParser parser;
    // "-o" and "-n" are options of their own; "-on" is no pair of them.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const KnownOption& decl : known) {
        parser.addOption(decl.takesValue ? QCommandLineOption(decl.names, QString(), QStringLiteral("value"))
                                         : QCommandLineOption(decl.names));
    }
    ParsedLine line;
    if (!parser.parse(QStringList{QStringLiteral("kvtctl")} + args)) {
        const QStringList unknown = parser.unknownOptionNames();
        const KnownOption* last = args.isEmpty() ? nullptr : findKnown(known, undashed(args.last()));
        if (!unknown.isEmpty())
            line.error = tr("unknown option %1", "nieznana opcja %1").arg(dashed(unknown.first()));
        else if (last && last->takesValue && !args.last().contains(QLatin1Char('=')))
            line.error = tr("%1 needs a value", "%1 wymaga wartości").arg(args.last());
        else
            line.error = parser.errorText();
    }
    // Read on after an error too: --lang and --json still say how to tell it.
    // QCommandLineParser keeps each option's values in order; the names in the order given.
    QHash<const KnownOption*, int> taken;
    for (const QString& name : parser.optionNames()) {
        const KnownOption* decl = findKnown(known, name);
        if (!decl)
            continue;
        ParsedLine::Option o{decl, dashed(name), QString()};
        if (decl->takesValue) {
            o.value = parser.values(name).value(taken[decl]++);
            if (o.value.isNull())
                o.value = QLatin1String("");
        }
        line.options.append(o);
    }
    // The words name the command even when its line is wrong.
    line.positionals = parser.positionalArguments();
    return line;
}

} // namespace

Invocation parseInvocation(const QStringList& arguments, const Texts& tr) {
    Invocation inv;
    GlobalOptions& o = inv.options;
    const auto fail = [&](const QString& message) {
        if (inv.error.isEmpty())
            inv.error = message;
    };
    // The parsed options point into this list, so it lives as long as they are read.
    const QList<KnownOption> known = globalOptions() + commandOptions();
    const ParsedLine line = parseLine(arguments, known, tr);
    inv.words = line.positionals;
    inv.error = line.error;
    for (const ParsedLine::Option& option : line.options) {
        const QString& name = option.decl->names.first();
        const QString& v = option.value;
        if (findKnown(commandOptions(), name)) {
            // The command reads its own options after its words.
            inv.words.append(v.isNull() ? option.name : option.name + QLatin1Char('=') + v);
        } else if (name == QLatin1String("device")) {
            o.device = v;
            if (o.device.isEmpty())
                fail(tr("--device needs a device", "--device wymaga nazwy urządzenia"));
        } else if (name == QLatin1String("simulate")) {
            o.simulate = v.split(QLatin1Char(','));
            for (const QString& model : std::as_const(o.simulate)) {
                if (!modelFromProduct(model))
                    fail(tr("unknown model \"%1\" (KVT318, KVT317 or PXA-KVT)",
                            "nieznany model \"%1\" (KVT318, KVT317 lub PXA-KVT)")
                             .arg(model));
            }
        } else if (name == QLatin1String("sim-state")) {
            o.simState = v;
        } else if (name == QLatin1String("timeout")) {
            const std::optional<int> ms = parseDuration(v);
            if (!ms)
                fail(tr("--timeout takes a time in milliseconds, not \"%1\"",
                        "--timeout przyjmuje czas w milisekundach, a nie \"%1\"")
                         .arg(v));
            else
                o.timeoutMs = *ms;
        } else if (name == QLatin1String("lang")) {
            o.language = languageFromName(v);
            if (!o.language)
                fail(tr("--lang takes pl or en", "--lang przyjmuje pl lub en"));
        } else if (name == QLatin1String("json")) {
            o.json = true;
        } else if (name == QLatin1String("help")) {
            o.help = true;
        } else if (name == QLatin1String("version")) {
            o.version = true;
        }
    }
    if (!o.simState.isEmpty() && o.simulate.isEmpty())
        fail(tr("--sim-state needs --simulate", "--sim-state wymaga --simulate"));
    return inv;
}

ArgReader::ArgReader(const QStringList& arguments, const Texts& tr) : tr_(tr) {
    const ParsedLine line = parseLine(arguments, commandOptions(), tr);
    error_ = line.error;
    for (const ParsedLine::Option& o : line.options)
        options_.append({o.name, o.value, false});
    positionals_ = line.positionals;
}

bool ArgReader::flag(const QStringList& names) {
    bool found = false;
    for (Given& given : options_) {
        if (names.contains(given.name)) {
            given.asked = true;
            found = true;
        }
    }
    return found;
}

std::optional<QString> ArgReader::value(const QStringList& names) {
    bool present = false;
    const std::optional<QString> v = optionalValue(names, &present);
    if (present && !v)
        setError(tr_("%1 needs a value", "%1 wymaga wartości").arg(names.first()));
    return v;
}

std::optional<QString> ArgReader::optionalValue(const QStringList& names, bool* present) {
    *present = false;
    std::optional<QString> v;
    for (Given& given : options_) {
        if (!names.contains(given.name))
            continue;
        given.asked = true;
        *present = true;
        v = given.value.isEmpty() ? std::nullopt : std::optional<QString>(given.value);
    }
    return v;
}

QStringList ArgReader::positionals() {
    for (const Given& given : std::as_const(options_)) {
        if (!given.asked) {
            setError(tr_("unknown option %1", "nieznana opcja %1").arg(given.name));
            break;
        }
    }
    return positionals_;
}

std::optional<int> parseDuration(const QString& text) {
    QString t = text.trimmed();
    double scale = 1;
    if (t.endsWith(QLatin1String("ms"))) {
        t.chop(2);
    } else if (t.endsWith(QLatin1Char('s'))) {
        t.chop(1);
        scale = 1000;
    }
    bool ok = false;
    const double v = t.toDouble(&ok) * scale;
    if (!ok || !std::isfinite(v) || v < 1 || v > 24.0 * 3600 * 1000)
        return std::nullopt;
    return int(std::lround(v));
}

} // namespace kvt::cli
