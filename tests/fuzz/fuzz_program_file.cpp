// SPDX-License-Identifier: GPL-3.0-or-later
// The program file reader on arbitrary file contents: the program of every address is taken out
// of the bytes as a load does (and once through the file itself, size check included) and written
// back; the file written reads back to the same program.

#include "FuzzCheck.h"
#include "program/core/ProgramFile.h"
#include "program/core/ProgramTransfer.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <cstdint>
#include <unistd.h>

using namespace kvt::program;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray file = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    // Through a real file, as the Program page loads one.
    // In memory where there is /dev/shm: a rewritten file on disk is flushed on every close.
    static const QString path =
        QDir(QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath())
            .filePath(QStringLiteral("fuzz_program_file.%1.txp").arg(getpid()));
    static const bool removedAtExit = std::atexit([] { QFile::remove(path); }) == 0;
    FUZZ_CHECK(removedAtExit);
    {
        QFile out(path);
        FUZZ_CHECK(out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(file) == file.size());
    }
    ProgramStore loaded;
    loaded.length = 7; // left as it was unless the file was read
    const ProgramFileLoad load = loadProgramFile(path, 0, loaded);
    if (file.size() > MaxProgramFileSize) {
        FUZZ_CHECK(load.result == LoadResult::TooLarge && !load.read && loaded.length == 7);
        return 0;
    }
    FUZZ_CHECK(load.read);
    FUZZ_CHECK((load.result == LoadResult::Loaded) == (loaded.length > 0));
    FUZZ_CHECK(load.result == LoadResult::Loaded || load.result == LoadResult::NoProgram);

    int total = 0;
    for (int address = 0; address < AddressCount; ++address) {
        ProgramStore store;
        const int n = takeProgram(file, address, store);
        FUZZ_CHECK(n >= 0 && n <= ProgramCapacity && store.length == quint32(n));
        total += n;

        // Saved and loaded again, the program is the same, now under address 0.
        const QByteArray saved = encodeProgramFile(store);
        FUZZ_CHECK(saved.size() == qsizetype(n) * FileRecordSize);
        ProgramStore again;
        FUZZ_CHECK(takeProgram(saved, 0, again) == n);
        for (int i = 0; i < n; ++i)
            FUZZ_CHECK(again.commands[i] == store.commands[i]);

        // The first record of a send is built from whatever the file held.
        if (n > 0)
            FUZZ_CHECK(!encodeProgramRecord(0, store.commands[0]).isEmpty());
    }
    FUZZ_CHECK(total <= file.size() / FileRecordSize);
    return 0;
}
