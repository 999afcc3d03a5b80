// SPDX-License-Identifier: GPL-3.0-or-later
#include "program/core/ProgramStore.h"

#include <algorithm>

namespace kvt::program {

QStringList ProgramStore::listing() const {
    QStringList lines;
    const quint32 count = std::min<quint32>(length, ProgramCapacity);
    lines.reserve(int(count));
    for (quint32 i = 0; i < count; ++i)
        lines.append(listingLine(commands[i]));
    return lines;
}

ProgramStore ProgramStore::receivedPart() const {
    ProgramStore part = *this;
    part.length = std::min(received, length);
    return part;
}

QString listingLine(const CommandRecord& record) {
    // Digit by digit into one string: a loaded program lists all its records at once.
    QString line;
    line.reserve(qsizetype(record.size()) * 5);
    for (const quint8 byte : record) {
        if (byte >= 100)
            line += QLatin1Char(char('0' + byte / 100));
        if (byte >= 10)
            line += QLatin1Char(char('0' + byte / 10 % 10));
        line += QLatin1Char(char('0' + byte % 10));
        line += QLatin1String("  ");
    }
    return line;
}

QString memoryShare(quint32 commands) {
    return QString::number(quint64(commands) * 100 / ProgramCapacity) + QLatin1Char('%');
}

} // namespace kvt::program
