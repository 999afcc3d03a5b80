// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "program/core/CommandRecord.h"

#include <QString>
#include <QStringList>
#include <array>

namespace kvt::program {

// The controller's program memory holds this many commands; so does the store.
constexpr int ProgramCapacity = 300;

// The one program the application works on: filled by a file load, a read-back or a generated
// program, and sent from here. Only commands[0..length-1] are meaningful; records beyond the
// length keep whatever an earlier program left there.
struct ProgramStore {
    std::array<CommandRecord, ProgramCapacity> commands{};
    quint32 length = 0;   // number of valid commands, 0..300
    quint32 position = 0; // index last requested or received during a transfer
    // Commands 0..received-1 hold the program itself. Below the length while a read-back is under
    // way or was cut short: the rest of the store is left over from an earlier program.
    quint32 received = 0;

    // Every valid command is the program's own: no read-back is under way or was cut short.
    bool complete() const { return received >= length; }
    // The commands that are the program's own, as a store of their own.
    ProgramStore receivedPart() const;

    // The listing of the valid commands, one line each.
    QStringList listing() const;
};

// One listing line: each byte in decimal followed by two blanks ("4  0  0  ...  0  ").
QString listingLine(const CommandRecord& record);

// Share of the program memory that `commands` commands use, truncated, e.g. "50%".
QString memoryShare(quint32 commands);

} // namespace kvt::program
