// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtTest>
#include <span>

// Reads a descriptor kept as hexadecimal bytes; '#' starts a comment that runs to the line end.
inline QByteArray loadHexData(const QString& name) {
    QFile file(QStringLiteral(KVT_HIDRAW_DATA "/") + name);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qWarning("cannot read %s", qPrintable(file.fileName()));
        return {};
    }
    QByteArray bytes;
    while (!file.atEnd()) {
        QByteArray line = file.readLine();
        const qsizetype comment = line.indexOf('#');
        if (comment >= 0)
            line.truncate(comment);
        const QList<QByteArray> tokens = line.simplified().split(' ');
        for (const QByteArray& token : tokens) {
            if (token.isEmpty())
                continue;
            bool ok = false;
            const uint value = token.toUInt(&ok, 16);
            if (!ok || value > 0xFF) {
                qWarning("bad byte '%s' in %s", token.constData(), qPrintable(name));
                return {};
            }
            bytes.append(static_cast<char>(value));
        }
    }
    return bytes;
}

inline std::span<const quint8> bytesOf(const QByteArray& data) {
    return {reinterpret_cast<const quint8*>(data.constData()), static_cast<std::size_t>(data.size())};
}
