// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The sample program files kept under tests/data/programs and the demo file installed beside
// the application, all written by the program file writer.
namespace samples {

struct SampleFile {
    QString name;
    QByteArray bytes;
};

QByteArray shortProgram();    // 7 commands for address 0
QByteArray interleaved();     // addresses 0, 1, 3 and 15 interleaved
QByteArray fullProgram();     // 300 commands for address 0: exactly 3300 bytes
QByteArray oversizeProgram(); // 3301 bytes: one byte too many
QByteArray demoProgram();     // the demo's default program file: addresses 0 and 1

QList<SampleFile> testFiles();

} // namespace samples
