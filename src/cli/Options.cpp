#include "cli/Options.h"

#include "link/Model.h"

#include <cmath>

namespace kvt::cli {

namespace {

// Splits "--name=value" into its parts; a word without "=" has no value.
std::pair<QString, std::optional<QString>> splitOption(const QString& word) {
    const qsizetype eq = word.indexOf(QLatin1Char('='));
    if (!word.startsWith(QLatin1String("--")) || eq < 0)
        return {word, std::nullopt};
    return {word.left(eq), word.mid(eq + 1)};
}

bool looksLikeOption(const QString& word) {
    if (!word.startsWith(QLatin1Char('-')) || word.size() < 2)
        return false;
    // A negative number is a value, not an option.
    bool number = false;
    word.toDouble(&number);
    return !number && !(word.size() > 1 && (word.at(1).isDigit() || word.at(1) == QLatin1Char('.')));
}

} // namespace

Invocation parseInvocation(const QStringList& arguments, const Texts& tr) {
    Invocation inv;
    GlobalOptions& o = inv.options;
    const auto fail = [&](const QString& message) {
        if (inv.error.isEmpty())
            inv.error = message;
    };
    for (int i = 0; i < arguments.size(); ++i) {
        const auto [name, inlineValue] = splitOption(arguments[i]);
        // Options that take a value: after "=" or as the next word.
        const auto takeValue = [&, inlineValue = inlineValue, name = name]() -> std::optional<QString> {
            if (inlineValue)
                return inlineValue;
            if (i + 1 < arguments.size())
                return arguments[++i];
            fail(tr("%1 needs a value", "%1 wymaga wartości").arg(name));
            return std::nullopt;
        };
        if (name == QLatin1String("--device")) {
            if (const auto v = takeValue()) {
                o.device = *v;
                if (o.device.isEmpty())
                    fail(tr("--device needs a device", "--device wymaga nazwy urządzenia"));
            }
        } else if (name == QLatin1String("--simulate")) {
            const QString models = inlineValue.value_or(QStringLiteral("KVT318"));
            o.simulate = models.split(QLatin1Char(','));
            for (const QString& model : std::as_const(o.simulate)) {
                if (!modelFromProduct(model))
                    fail(tr("unknown model \"%1\" (KVT318, KVT317 or PXA-KVT)",
                            "nieznany model \"%1\" (KVT318, KVT317 lub PXA-KVT)")
                             .arg(model));
            }
        } else if (name == QLatin1String("--sim-state")) {
            if (const auto v = takeValue())
                o.simState = *v;
        } else if (name == QLatin1String("--timeout")) {
            if (const auto v = takeValue()) {
                const std::optional<int> ms = parseDuration(*v);
                if (!ms)
                    fail(tr("--timeout takes a time in milliseconds, not \"%1\"",
                            "--timeout przyjmuje czas w milisekundach, a nie \"%1\"")
                             .arg(*v));
                else
                    o.timeoutMs = *ms;
            }
        } else if (name == QLatin1String("--lang")) {
            if (const auto v = takeValue()) {
                o.language = languageFromName(*v);
                if (!o.language)
                    fail(tr("--lang takes pl or en", "--lang przyjmuje pl lub en"));
            }
        } else if (name == QLatin1String("--json") && !inlineValue) {
            o.json = true;
        } else if ((name == QLatin1String("--help") || name == QLatin1String("-h")) && !inlineValue) {
            o.help = true;
        } else if (name == QLatin1String("--version") && !inlineValue) {
            o.version = true;
        } else {
            inv.words.append(arguments[i]);
        }
    }
    if (!o.simState.isEmpty() && o.simulate.isEmpty())
        fail(tr("--sim-state needs --simulate", "--sim-state wymaga --simulate"));
    return inv;
}

bool ArgReader::flag(const QStringList& names) {
    bool found = false;
    for (qsizetype i = 0; i < args_.size();) {
        if (names.contains(args_[i])) {
            args_.removeAt(i);
            found = true;
        } else {
            ++i;
        }
    }
    return found;
}

std::optional<QString> ArgReader::value(const QStringList& names) {
    bool present = false;
    for (qsizetype i = 0; i < args_.size(); ++i) {
        const auto [name, inlineValue] = splitOption(args_[i]);
        if (!names.contains(name))
            continue;
        present = true;
        if (inlineValue) {
            args_.removeAt(i);
            return inlineValue;
        }
        if (i + 1 < args_.size()) {
            const QString v = args_[i + 1];
            args_.remove(i, 2);
            return v;
        }
        args_.removeAt(i);
    }
    if (present)
        setError(tr_("%1 needs a value", "%1 wymaga wartości").arg(names.first()));
    return std::nullopt;
}

std::optional<QString> ArgReader::optionalValue(const QStringList& names, bool* present) {
    *present = false;
    for (qsizetype i = 0; i < args_.size(); ++i) {
        const auto [name, inlineValue] = splitOption(args_[i]);
        if (!names.contains(name))
            continue;
        *present = true;
        if (inlineValue) {
            args_.removeAt(i);
            return inlineValue;
        }
        if (i + 1 < args_.size() && !looksLikeOption(args_[i + 1]) && parseDuration(args_[i + 1])) {
            const QString v = args_[i + 1];
            args_.remove(i, 2);
            return v;
        }
        args_.removeAt(i);
        return std::nullopt;
    }
    return std::nullopt;
}

QStringList ArgReader::positionals() {
    for (const QString& word : std::as_const(args_)) {
        if (looksLikeOption(word)) {
            setError(tr_("unknown option %1", "nieznana opcja %1").arg(word));
            break;
        }
    }
    return args_;
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
