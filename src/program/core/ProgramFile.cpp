// SPDX-License-Identifier: GPL-3.0-or-later
#include "program/core/ProgramFile.h"

#include "format/core/AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace kvt::program {

int takeProgram(const QByteArray& file, int address, ProgramStore& store) {
    int n = 0;
    for (qsizetype at = 0; at + FileRecordSize <= file.size() && n < ProgramCapacity; at += FileRecordSize) {
        if (quint8(file[at]) != address)
            continue;
        CommandRecord& record = store.commands[n++];
        std::copy_n(file.constData() + at + 1, record.size(), record.begin());
    }
    store.length = quint32(n);
    store.received = store.length;
    return n;
}

ProgramFileLoad loadProgramFile(const QString& path, int address, ProgramStore& store) {
    ProgramFileLoad load;
    if (path.isEmpty())
        return load;
    const QFileInfo info(path);
    if (info.exists() && info.isFile() && info.size() > MaxProgramFileSize) {
        load.result = LoadResult::TooLarge;
        return load;
    }
    load.result = LoadResult::NoProgram;
    // Only a regular file is read: opening a pipe would wait for a writer, and a device or a
    // folder holds no program.
    if (!info.isFile())
        return load;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return load;
    // One byte more than allowed tells a file that grew since its size was taken.
    const QByteArray bytes = file.read(MaxProgramFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        return load;
    if (bytes.size() > MaxProgramFileSize) {
        load.result = LoadResult::TooLarge;
        return load;
    }
    load.read = true;
    load.fileName = info.fileName();
    load.result = takeProgram(bytes, address, store) > 0 ? LoadResult::Loaded : LoadResult::NoProgram;
    return load;
}

QByteArray encodeProgramFile(const ProgramStore& store) {
    QList<AddressedCommand> commands;
    const quint32 count = std::min<quint32>(store.length, ProgramCapacity);
    for (quint32 i = 0; i < count; ++i)
        commands.append({0, store.commands[i]});
    return encodeProgramFile(commands);
}

QByteArray encodeProgramFile(const QList<AddressedCommand>& commands) {
    QByteArray bytes;
    bytes.reserve(commands.size() * FileRecordSize);
    for (const AddressedCommand& c : commands) {
        bytes.append(char(c.address));
        bytes.append(reinterpret_cast<const char*>(c.record.data()), qsizetype(c.record.size()));
    }
    return bytes;
}

QString withProgramExtension(const QString& path) {
    const QString extension = QStringLiteral(".txp");
    return QFileInfo(path).fileName().endsWith(extension, Qt::CaseSensitive) ? path : path + extension;
}

std::optional<QString> writeProgramFile(const QString& path, const QByteArray& bytes) {
    files::AtomicFile file(path);
    if (file.open() && file.write(bytes) && file.commit())
        return std::nullopt;
    return file.reason();
}

} // namespace kvt::program
