#pragma once

#include "cli/Texts.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace kvt::cli {

// The options that apply to every command; they may stand anywhere on the command line.
struct GlobalOptions {
    QString device;       // path, serial number or instance of the controller; empty: the only one
    QStringList simulate; // models of simulated controllers; empty: real hardware
    QString simState;     // file keeping the simulated controllers' memory; empty: the default
    int timeoutMs = 2000; // how long to wait for each answer
    bool json = false;    // one JSON document per result
    std::optional<Language> language;
    bool help = false;
    bool version = false;
};

constexpr int DefaultTimeoutMs = 2000;

// The command line split into the global options and the command's words (the command name, its
// subcommand and its own arguments, in order). `error` says what is wrong with the global part.
struct Invocation {
    GlobalOptions options;
    QStringList words;
    QString error;
};

Invocation parseInvocation(const QStringList& arguments, const Texts& tr);

// Reads a command's own arguments: options are taken out as they are asked for, what remains are
// the positional arguments. Options take their value as the next word or after "=".
class ArgReader {
public:
    ArgReader(QStringList arguments, const Texts& tr) : args_(std::move(arguments)), tr_(tr) {}

    // True when one of `names` is present (taken out).
    bool flag(const QStringList& names);
    // The value of one of `names`; none when absent. A name without a value is an error.
    std::optional<QString> value(const QStringList& names);
    // Like value(), but the value may be left out: it is taken only when the next word does not
    // start with "-". `present` tells whether the option was there at all.
    std::optional<QString> optionalValue(const QStringList& names, bool* present);
    // The positional arguments; an option nobody asked for is an error.
    QStringList positionals();

    const QString& error() const { return error_; }
    bool ok() const { return error_.isEmpty(); }
    void setError(const QString& error) {
        if (error_.isEmpty())
            error_ = error;
    }

private:
    QStringList args_;
    const Texts& tr_;
    QString error_;
};

// A number of milliseconds: "500", "500ms", "2s" or "1.5s"; none when it is not one or not
// positive.
std::optional<int> parseDuration(const QString& text);

} // namespace kvt::cli
