// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "program/core/ProgramStore.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace kvt::program {

// A program file is a headerless sequence of 11-byte records: the device address (0..15) the
// command belongs to, then the 10-byte command. The records of one address, in file order, are
// that address's program; addresses may be interleaved. Bytes after the last whole record are
// ignored.
constexpr int FileRecordSize = 11;
constexpr qint64 MaxProgramFileSize = 3300; // 300 records over all addresses together
constexpr int AddressCount = 16;

// What loading a program file gave; the numbers are the codes the send reports.
enum class LoadResult : quint8 {
    Loaded = 0,     // at least one command for the selected address
    NoProgram = 1,  // no command for the address, or the file cannot be opened or read
    TooLarge = 2,   // the file is larger than MaxProgramFileSize
    NoFileName = 3, // there is no current program file
};

struct ProgramFileLoad {
    LoadResult result = LoadResult::NoFileName;
    bool read = false; // the file was read: the store now holds its program for the address
    QString fileName;  // the file-name part of the path, once read
};

// Takes the program of `address` out of a program file's bytes into the store and sets its
// length (the position stays). Returns the number of commands taken.
int takeProgram(const QByteArray& file, int address, ProgramStore& store);

// Loads the program of `address` from the file at `path`. Unless the file was read (a missing
// name, an oversized or unreadable file, or one that is no regular file), the store is left as
// it was.
ProgramFileLoad loadProgramFile(const QString& path, int address, ProgramStore& store);

// The store's program as file bytes: one record per valid command, every one with address 0.
QByteArray encodeProgramFile(const ProgramStore& store);

// A program file holding commands of several addresses, in the order given.
struct AddressedCommand {
    quint8 address = 0;
    CommandRecord record{};
};
QByteArray encodeProgramFile(const QList<AddressedCommand>& commands);

// The path a program is saved to: ".txp" is appended unless the file name already ends in
// exactly ".txp" (so "x.TXP" becomes "x.TXP.txp").
QString withProgramExtension(const QString& path);

// Replaces the file at `path` with `bytes` atomically: the bytes go to a temporary file that
// takes the place of the old one only when completely written, so a failed save leaves an
// existing file as it was. Returns the system's reason on failure.
std::optional<QString> writeProgramFile(const QString& path, const QByteArray& bytes);

} // namespace kvt::program
