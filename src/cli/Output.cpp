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

void Output::error(const QString& command, const Failure& failure) const {
    const QString prefix = command.isEmpty() ? QString() : command + QStringLiteral(": ");
    err_("kvtctl: " + (prefix + failure.message).toUtf8() + '\n');
    if (json_) {
        QJsonObject o;
        if (!command.isEmpty())
            o.insert(QStringLiteral("command"), command);
        o.insert(QStringLiteral("ok"), false);
        o.insert(QStringLiteral("exit"), int(failure.exit));
        o.insert(QStringLiteral("error"), failure.message);
        out_(QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n');
    }
}

} // namespace kvt::cli
