// SPDX-License-Identifier: GPL-3.0-or-later
// kvt-virtual-controller: simulated controllers on the kernel's HID stack (/dev/uhid), so that
// the program and kvtctl reach them through hidraw exactly as they reach a controller on USB.
#include "link/Model.h"
#include "sim/SimBackend.h"
#include "sim/SimStateFile.h"
#include "uhid/UhidReport.h"
#include "uhid/VirtualDevice.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QStringList>
#include <QTimer>
#include <csignal>
#include <linux/uhid.h>
#include <cstdio>
#include <memory>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

using kvt::uhid::ControlLine;
using kvt::uhid::VirtualDevice;

constexpr int ForwardIntervalMs = 10;
int signalPipe[2] = {-1, -1};

void onSignal(int number) {
    const char byte = char(number);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
}

const char* const Usage =
    "Usage: kvt-virtual-controller [--sim-state FILE] [--output-length N] [MODEL ...]\n"
    "Simulated controllers on the kernel's HID stack: one HID device through /dev/uhid per MODEL\n"
    "(KVT318, KVT317 or PXA-KVT; default KVT318), answering as kvtctl --simulate does.\n"
    "Serial numbers SIM1, SIM2, ... in the order given. Needs write access to /dev/uhid.\n"
    "\n"
    "  --sim-state FILE     keep the controllers' memory in FILE between runs (as --simulate)\n"
    "  --output-length N    output report length the devices declare, report ID included\n"
    "                       (a controller's is 65; others test how the program copes)\n"
    "\n"
    "Lines on standard input: unplug N, plug N, mute N (takes commands, answers none),\n"
    "unmute N, count N (output reports since the last plug, the first one's code, input reports\n"
    "sent), quit.\n"
    "N is the position of the model on the command line; without N, every device.\n"
    "SIGUSR1 unplugs every device, SIGUSR2 plugs them again; SIGINT and SIGTERM remove them and end.\n";

void say(const QString& line) {
    std::fprintf(stdout, "%s\n", qPrintable(line));
    std::fflush(stdout);
}

struct Options {
    QStringList models;
    QString simState;
    int outputLength = 65;
    QString error;
    bool help = false;
};

Options parse(const QStringList& args) {
    Options options;
    for (int i = 1; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (arg == QLatin1String("-h") || arg == QLatin1String("--help")) {
            options.help = true;
        } else if (arg == QLatin1String("--sim-state") && i + 1 < args.size()) {
            options.simState = args.at(++i);
        } else if (arg == QLatin1String("--output-length") && i + 1 < args.size()) {
            bool ok = false;
            options.outputLength = args.at(++i).toInt(&ok);
            // At least the report ID and an operation code; at most what one uhid event carries.
            if (!ok || options.outputLength < 2 || options.outputLength > UHID_DATA_MAX)
                options.error = QStringLiteral("--output-length takes a number from 2 to %1").arg(UHID_DATA_MAX);
        } else if (kvt::modelFromProduct(arg)) {
            options.models.append(arg);
        } else {
            options.error = QStringLiteral("unknown model or option \"%1\" (models: KVT318, KVT317, PXA-KVT)")
                                .arg(arg);
        }
    }
    if (options.models.isEmpty())
        options.models.append(QStringLiteral("KVT318"));
    return options;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const Options options = parse(QCoreApplication::arguments());
    if (options.help) {
        std::fputs(Usage, stdout);
        return 0;
    }
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "kvt-virtual-controller: %s\n%s", qPrintable(options.error), Usage);
        return 2;
    }
    if (const std::optional<QString> problem = kvt::uhid::uhidProblem()) {
        std::fprintf(stderr, "kvt-virtual-controller: %s\n", qPrintable(*problem));
        return 1;
    }

    kvt::sim::SimBackend backend;
    backend.setWrittenLogLimit(1); // nobody reads the log here
    QList<int> ids;
    for (const QString& model : options.models)
        ids.append(backend.plugController(model));
    std::unique_ptr<kvt::sim::SimStateFile> state;
    if (!options.simState.isEmpty()) {
        state = std::make_unique<kvt::sim::SimStateFile>(options.simState);
        std::optional<QString> error = state->lock(10000);
        if (!error)
            error = state->load();
        if (error) {
            std::fprintf(stderr, "kvt-virtual-controller: %s\n", qPrintable(*error));
            return 1;
        }
        state->restoreInto(backend, ids);
    }

    std::vector<std::unique_ptr<VirtualDevice>> devices;
    for (int i = 0; i < ids.size(); ++i) {
        devices.push_back(std::make_unique<VirtualDevice>(backend, ids.at(i), options.outputLength));
        if (const std::optional<QString> error = devices.back()->plug()) {
            std::fprintf(stderr, "kvt-virtual-controller: %s\n", qPrintable(*error));
            return 1;
        }
        say(QStringLiteral("plugged %1 %2 %3").arg(i + 1).arg(devices.back()->product(), devices.back()->serial()));
    }

    // Every device, or the one numbered; a number out of range names none.
    const auto each = [&devices](int number, const auto& act) {
        for (int i = 0; i < int(devices.size()); ++i) {
            if (number == 0 || number == i + 1)
                act(i + 1, *devices[std::size_t(i)]);
        }
    };
    const auto act = [&](const ControlLine& line) {
        switch (line.verb) {
        case ControlLine::Verb::Unplug:
            each(line.device, [](int n, VirtualDevice& d) {
                d.unplug();
                say(QStringLiteral("unplugged %1").arg(n));
            });
            break;
        case ControlLine::Verb::Plug:
            each(line.device, [](int n, VirtualDevice& d) {
                if (const std::optional<QString> error = d.plug())
                    say(QStringLiteral("error %1 %2").arg(n).arg(*error));
                else
                    say(QStringLiteral("plugged %1 %2 %3").arg(n).arg(d.product(), d.serial()));
            });
            break;
        case ControlLine::Verb::Mute:
        case ControlLine::Verb::Unmute: {
            const bool mute = line.verb == ControlLine::Verb::Mute;
            each(line.device, [mute](int n, VirtualDevice& d) {
                d.setMuted(mute);
                say(QStringLiteral("%1 %2").arg(mute ? "muted" : "unmuted").arg(n));
            });
            break;
        }
        case ControlLine::Verb::Count:
            each(line.device, [](int n, VirtualDevice& d) {
                say(QStringLiteral("count %1 %2 %3 %4").arg(n).arg(d.outputReports()).arg(d.firstCode()).arg(d.inputReports()));
            });
            break;
        case ControlLine::Verb::Quit:
            QCoreApplication::quit();
            break;
        }
    };

    // Signals arrive through a socket pair, so they are handled in the event loop.
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0) {
        std::perror("kvt-virtual-controller: socketpair");
        return 1;
    }
    QSocketNotifier signalNotifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, [&act] {
        char number = 0;
        if (::read(signalPipe[0], &number, 1) != 1)
            return;
        if (number == SIGUSR1)
            act({ControlLine::Verb::Unplug, 0});
        else if (number == SIGUSR2)
            act({ControlLine::Verb::Plug, 0});
        else
            act({ControlLine::Verb::Quit, 0});
    });
    struct sigaction handler = {};
    handler.sa_handler = onSignal;
    sigemptyset(&handler.sa_mask);
    handler.sa_flags = SA_RESTART;
    for (const int number : {SIGINT, SIGTERM, SIGHUP, SIGUSR1, SIGUSR2})
        ::sigaction(number, &handler, nullptr);

    // Control lines on standard input; at its end the devices stay until a signal or quit.
    QByteArray pending;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char chunk[512];
        const ssize_t n = ::read(STDIN_FILENO, chunk, sizeof chunk);
        if (n <= 0) {
            input.setEnabled(false);
            return;
        }
        pending.append(chunk, int(n));
        qsizetype end = 0;
        while ((end = pending.indexOf('\n')) >= 0) {
            const QString line = QString::fromUtf8(pending.left(end)).trimmed();
            pending.remove(0, end + 1);
            if (line.isEmpty())
                continue;
            if (const std::optional<ControlLine> parsed = kvt::uhid::parseControlLine(line))
                act(*parsed);
            else
                say(QStringLiteral("error unknown line \"%1\"").arg(line));
        }
    });

    // Reports the controllers send by themselves (and answers that came after a delay).
    QTimer forward;
    forward.setInterval(ForwardIntervalMs);
    QObject::connect(&forward, &QTimer::timeout, [&devices] {
        for (const auto& device : devices)
            device->forwardInput();
    });
    forward.start();

    say(QStringLiteral("ready"));
    const int result = QCoreApplication::exec();
    for (const auto& device : devices)
        device->unplug();
    if (state) {
        state->storeFrom(backend, ids);
        if (const std::optional<QString> error = state->save()) {
            std::fprintf(stderr, "kvt-virtual-controller: %s\n", qPrintable(*error));
            return 1;
        }
    }
    return result;
}
