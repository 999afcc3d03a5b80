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

QString listingLine(const CommandRecord& record) {
    QString line;
    for (const quint8 byte : record)
        line += QString::number(byte) + QLatin1String("  ");
    return line;
}

QString memoryShare(quint32 commands) {
    return QString::number(quint64(commands) * 100 / ProgramCapacity) + QLatin1Char('%');
}

} // namespace kvt::program
