// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Output.h"

#include <QJsonDocument>
#include <cstdio>

namespace kvt::cli {

namespace {

Output::Sink fileSink(FILE* file) {
    // Flushed line by line, so a watching script sees every sample when it is made.
    return [file](const QByteArray& bytes) {
        std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), file);
        std::fflush(file);
    };
}

} // namespace

QJsonObject envelope(const QString& command, const std::optional<Failure>& failure,
                     const QJsonObject& fields) {
    QJsonObject o = fields;
    o.insert(QStringLiteral("command"), command.isEmpty() ? QJsonValue() : QJsonValue(command));
    o.insert(QStringLiteral("ok"), !failure);
    o.insert(QStringLiteral("exit"), failure ? int(failure->exit) : int(Exit::Ok));
    o.insert(QStringLiteral("error"),
             failure && !failure->message.isEmpty() ? QJsonValue(failure->message) : QJsonValue());
    return o;
}

Output::Output(bool json) : Output(json, fileSink(stdout), fileSink(stderr)) {}

Output::Output(bool json, Sink out, Sink err) : json_(json), out_(std::move(out)), err_(std::move(err)) {}

void Output::line(const QString& text) const {
    if (!json_)
        out_(text.toUtf8() + '\n');
}

void Output::raw(const QByteArray& bytes) const {
    if (!json_)
        out_(bytes);
}

void Output::document(const QJsonObject& object) const {
    if (json_)
        out_(QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n');
}

void Output::warning(const QString& text) const {
    err_("kvtctl: " + text.toUtf8() + '\n');
}

void Output::report(const QString& command, const QJsonObject& fields) const {
    document(envelope(command, std::nullopt, fields));
}

void Output::error(const QString& command, const Failure& failure, const QJsonObject& fields) const {
    if (!failure.message.isEmpty()) {
        const QString prefix = command.isEmpty() ? QString() : command + QStringLiteral(": ");
        err_("kvtctl: " + (prefix + failure.message).toUtf8() + '\n');
    }
    document(envelope(command, failure, fields));
}

} // namespace kvt::cli
