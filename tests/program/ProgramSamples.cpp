// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProgramSamples.h"

#include "link/Bytes.h"
#include "program/core/ProgramFile.h"

using namespace kvt::program;

namespace samples {

namespace {

// Commands in the layouts the controller's interpreter reads: a code, 8-bit operands in bytes 1
// and 2, 32-bit little-endian operands in bytes 1..4 or 6..9.
CommandRecord command(quint8 code, quint8 a = 0, quint8 b = 0) {
    CommandRecord r{};
    r[0] = code;
    r[1] = a;
    r[2] = b;
    return r;
}

CommandRecord withI32(CommandRecord r, int at, qint32 value) {
    for (int i = 0; i < 4; ++i)
        r[at + i] = quint8(quint32(value) >> (8 * i));
    return r;
}

// A small program whose values depend on `variant`. It jumps back to its label after the pause,
// so the simulated controller's interpreter runs it until it is stopped.
QList<CommandRecord> moveProgram(int variant) {
    return {
        withI32(command(15), 1, 1000 * variant),
        withI32(command(19), 1, 250 + variant),
        withI32(command(16), 6, 1000 * variant),
        withI32(command(17, 1, 0), 6, 500),
        command(21, 1, quint8(variant)),
        command(10),
        command(4),
    };
}

QList<AddressedCommand> forAddress(quint8 address, const QList<CommandRecord>& records) {
    QList<AddressedCommand> out;
    for (const CommandRecord& r : records)
        out.append({address, r});
    return out;
}

// The commands of several programs taken in turn, one from each while any remain.
QByteArray interleave(const QList<QList<AddressedCommand>>& programs) {
    QList<AddressedCommand> out;
    for (qsizetype i = 0;; ++i) {
        bool any = false;
        for (const auto& p : programs) {
            if (i < p.size()) {
                out.append(p[i]);
                any = true;
            }
        }
        if (!any)
            break;
    }
    return encodeProgramFile(out);
}

} // namespace

QByteArray shortProgram() {
    return encodeProgramFile(forAddress(0, moveProgram(1)));
}

QByteArray interleaved() {
    return interleave({forAddress(0, moveProgram(1)), forAddress(1, moveProgram(2).mid(0, 3)),
                       forAddress(3, moveProgram(3)), forAddress(15, moveProgram(4).mid(5))});
}

QByteArray fullProgram() {
    QList<CommandRecord> records;
    for (int i = 0; records.size() < ProgramCapacity - 1; ++i)
        records.append(withI32(command(15), 1, 100 * i));
    records.append(command(4));
    return encodeProgramFile(forAddress(0, records));
}

QByteArray oversizeProgram() {
    return fullProgram() + QByteArray(1, '\0');
}

QByteArray demoProgram() {
    return interleave({forAddress(0, moveProgram(1)), forAddress(1, moveProgram(2))});
}

QList<SampleFile> testFiles() {
    return {{"short_address0.txp", shortProgram()},
            {"interleaved.txp", interleaved()},
            {"full_300.txp", fullProgram()},
            {"oversize_3301.txp", oversizeProgram()}};
}

} // namespace samples
