// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A strict reader of comma-separated values (RFC 4180) for checking written files: every line
// must end with CRLF, quotes only around whole fields.

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace testing {

// The rows of `data`, or nothing when it is not well-formed.
inline std::optional<QList<QStringList>> parseCsv(const QByteArray& data) {
    const QString text = QString::fromUtf8(data);
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    bool wasQuoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                    field += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += c;
            }
        } else if (c == QLatin1Char('"')) {
            if (!field.isEmpty() || wasQuoted)
                return std::nullopt;
            quoted = wasQuoted = true;
        } else if (c == QLatin1Char(',')) {
            row << field;
            field.clear();
            wasQuoted = false;
        } else if (c == QLatin1Char('\r')) {
            if (i + 1 >= text.size() || text[i + 1] != QLatin1Char('\n'))
                return std::nullopt;
            row << field;
            rows << row;
            row.clear();
            field.clear();
            wasQuoted = false;
            ++i;
        } else if (c == QLatin1Char('\n')) {
            return std::nullopt;
        } else {
            if (wasQuoted)
                return std::nullopt;
            field += c;
        }
    }
    if (quoted || !field.isEmpty() || !row.isEmpty())
        return std::nullopt; // a last line without its CRLF
    return rows;
}

inline std::optional<QList<QStringList>> readCsv(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return parseCsv(file.readAll());
}

} // namespace testing
