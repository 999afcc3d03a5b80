// SPDX-License-Identifier: GPL-3.0-or-later
// Saves a configuration or program file through the application's own code and is killed with
// SIGKILL part-way through writing it, as a power cut or a kill -9 would end a save.
//
//   interrupted_save config|program <path> <bytes>
//
// The process may write `bytes` bytes of file data; the write that would go beyond them gets
// SIGXFSZ from the kernel, whose handler kills the process at once. Before dying it prints
// "killed after <bytes> bytes" on standard error. Exit code 2 means the save finished without
// being cut (the content was too short for `bytes`), 3 a usage error.

#include "config/core/ConfigFile.h"
#include "program/core/ProgramFile.h"

#include <QByteArray>
#include <QString>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/resource.h>
#include <unistd.h>

namespace {

char message[64];
size_t messageLength = 0;

void killNow(int) {
    // Async-signal-safe only.
    [[maybe_unused]] const ssize_t n = write(STDERR_FILENO, message, messageLength);
    kill(getpid(), SIGKILL);
}

// Settings unlike the defaults, so the new file differs from any old one.
kvt::config::ConfigSettings newSettings() {
    kvt::config::ConfigSettings s;
    s.MaxCurrent = 61;
    s.RedCurrent = 33;
    s.Microstep = 3;
    s.DefMinVel = QStringLiteral("0.25");
    s.DefMaxVel = QStringLiteral("17");
    s.DefAcc = QStringLiteral("4.5");
    s.Kp = QStringLiteral("12");
    s.RevToLinCoef = QStringLiteral("3.5");
    s.Units = 1;
    return s;
}

QByteArray newProgram() {
    kvt::program::ProgramStore store;
    store.length = 120;
    for (quint32 i = 0; i < store.length; ++i)
        store.commands[i].fill(quint8(i));
    return kvt::program::encodeProgramFile(store);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4)
        return 3;
    const QString kind = QString::fromLocal8Bit(argv[1]);
    const QString path = QString::fromLocal8Bit(argv[2]);
    const long limit = std::strtol(argv[3], nullptr, 10);
    if (limit <= 0 || (kind != QLatin1String("config") && kind != QLatin1String("program")))
        return 3;

    messageLength = size_t(std::snprintf(message, sizeof message, "killed after %ld bytes\n", limit));
    std::signal(SIGXFSZ, killNow);
    rlimit cap{};
    cap.rlim_cur = rlim_t(limit);
    cap.rlim_max = rlim_t(limit);
    if (setrlimit(RLIMIT_FSIZE, &cap) != 0)
        return 3;

    if (kind == QLatin1String("config"))
        kvt::config::saveConfigFile(path, newSettings());
    else
        kvt::program::writeProgramFile(path, newProgram());
    return 2;
}
