// SPDX-License-Identifier: GPL-3.0-or-later
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
// subcommand and its own arguments; the command's options follow them as "--name" or
// "--name=value"). `error` says what is wrong with the command line as a whole.
struct Invocation {
    GlobalOptions options;
    QStringList words;
    QString error;
};

// Reads the command line with QCommandLineParser, as the window does. Options may stand anywhere
// and take their value as the next word or after "="; "--simulate" and "--watch" may leave their
// value out. Every option a command takes is declared in commandOptions() in Options.cpp: a new
// command option is one line there.
Invocation parseInvocation(const QStringList& arguments, const Texts& tr);

// Reads a command's own arguments: its options are taken as they are asked for, the rest are the
// positional arguments.
class ArgReader {
public:
    ArgReader(const QStringList& arguments, const Texts& tr);

    // True when one of `names` ("--dry-run", "-n") is present.
    bool flag(const QStringList& names);
    // The value of one of `names`; none when absent (the last one when given twice).
    std::optional<QString> value(const QStringList& names);
    // Like value(), for an option whose value may be left out: `present` tells whether the option
    // was there at all.
    std::optional<QString> optionalValue(const QStringList& names, bool* present);
    // The positional arguments; an option the command did not ask for is an error.
    QStringList positionals();

    const QString& error() const { return error_; }
    bool ok() const { return error_.isEmpty(); }
    void setError(const QString& error) {
        if (error_.isEmpty())
            error_ = error;
    }

private:
    struct Given {
        QString name;  // as written, with its dashes
        QString value; // null for a flag
        bool asked = false;
    };
    QList<Given> options_;
    QStringList positionals_;
    const Texts& tr_;
    QString error_;
};

// A number of milliseconds: "500", "500ms", "2s" or "1.5s"; none when it is not one or not
// positive.
std::optional<int> parseDuration(const QString& text);

} // namespace kvt::cli
