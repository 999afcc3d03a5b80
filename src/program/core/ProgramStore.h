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

    // The listing of the valid commands, one line each.
    QStringList listing() const;
};

// One listing line: each byte in decimal followed by two blanks ("4  0  0  ...  0  ").
QString listingLine(const CommandRecord& record);

// Share of the program memory that `commands` commands use, truncated, e.g. "50%".
QString memoryShare(quint32 commands);

} // namespace kvt::program
