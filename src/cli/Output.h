// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/Exit.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <functional>
#include <optional>

namespace kvt::cli {

// The one shape of every JSON document kvtctl prints, results and errors alike:
//
//   {"command": "reg set", "ok": true, "exit": 0, "error": null, ...the result's own fields}
//
// "command" is the command's name as its errors name it ("config set", "version"), or null when
// the command line names no command; "ok" is true exactly when "exit" is 0; "exit" is the exit
// code this result gives the run (0 in each sample of status --watch too); "error" is the one-line
// message of a failure, null on success. `fields` cannot replace these four keys.
QJsonObject envelope(const QString& command, const std::optional<Failure>& failure,
                     const QJsonObject& fields = {});

// Where results and errors go. In text mode results are lines for people; with --json every
// result is one JSON document on one line, so that a script reads one document per line even
// from a command that goes on printing (status --watch). Errors always go to the error stream as
// one line; with --json the error's document also goes to the result stream.
class Output {
public:
    using Sink = std::function<void(const QByteArray&)>;

    // Writes to the process's standard output and standard error.
    explicit Output(bool json);
    Output(bool json, Sink out, Sink err);

    bool json() const { return json_; }

    void line(const QString& text) const;    // a result line (text mode only)
    void raw(const QByteArray& bytes) const; // result bytes as they are (text mode only)
    void warning(const QString& text) const; // "kvtctl: ..." on the error stream

    // A successful result of `command`: its document (JSON mode only).
    void report(const QString& command, const QJsonObject& fields = {}) const;
    // A failure of `command`: "kvtctl: command: message" on the error stream (nothing when the
    // message is empty, as for a difference that the result itself shows) and, with --json, the
    // failure's document carrying `fields`, so a result that failed still reports what it found.
    void error(const QString& command, const Failure& failure, const QJsonObject& fields = {}) const;

private:
    void document(const QJsonObject& object) const;

    bool json_;
    Sink out_;
    Sink err_;
};

} // namespace kvt::cli
