#pragma once

#include "cli/Exit.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <functional>

namespace kvt::cli {

// Where results and errors go. In text mode results are lines for people; with --json every
// result is one JSON document on one line, so that a script reads one document per line even
// from a command that goes on printing (status --watch). Errors always go to the error stream as
// one line; with --json a document describing the error also goes to the result stream.
class Output {
public:
    using Sink = std::function<void(const QByteArray&)>;

    // Writes to the process's standard output and standard error.
    explicit Output(bool json);
    Output(bool json, Sink out, Sink err);

    bool json() const { return json_; }

    void line(const QString& text) const;           // a result line (text mode only)
    void raw(const QByteArray& bytes) const;        // result bytes as they are (text mode only)
    void document(const QJsonObject& object) const; // a result document (JSON mode only)
    void warning(const QString& text) const;        // "kvtctl: ..." on the error stream
    void error(const QString& command, const Failure& failure) const;

private:
    bool json_;
    Sink out_;
    Sink err_;
};

} // namespace kvt::cli
