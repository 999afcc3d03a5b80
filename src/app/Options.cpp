#include "app/Options.h"

#include <QStringList>

namespace kvt {

Options parseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        auto value = [&](const QString& name) -> std::optional<QString> {
            if (arg.startsWith(name + QLatin1Char('=')))
                return arg.mid(name.size() + 1);
            if (arg == name && i + 1 < argc)
                return QString::fromLocal8Bit(argv[++i]);
            return std::nullopt;
        };
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            options.help = true;
        } else if (arg == QLatin1String("--version")) {
            options.version = true;
        } else if (arg == QLatin1String("--simulate")) {
            options.simulate = QStringLiteral("KVT318");
        } else if (arg.startsWith(QLatin1String("--simulate="))) {
            options.simulate = arg.mid(11);
            if (options.simulate != QLatin1String("KVT318") && options.simulate != QLatin1String("KVT317") &&
                options.simulate != QLatin1String("PXA-KVT"))
                options.error =
                    QStringLiteral("unknown model \"%1\" (KVT318, KVT317 or PXA-KVT)").arg(options.simulate);
        } else if (arg.startsWith(QLatin1String("--screenshot-page"))) {
            const auto page = value(QStringLiteral("--screenshot-page"));
            bool ok = false;
            options.screenshotPage = page ? page->toInt(&ok) : -1;
            if (!ok || options.screenshotPage < 0 || options.screenshotPage > 4)
                options.error = QStringLiteral("--screenshot-page takes a page number from 0 to 4");
        } else if (arg.startsWith(QLatin1String("--screenshot"))) {
            const auto file = value(QStringLiteral("--screenshot"));
            if (!file || file->isEmpty())
                options.error = QStringLiteral("--screenshot takes a file name");
            else
                options.screenshot = *file;
        } else {
            options.error = QStringLiteral("unknown option \"%1\"").arg(arg);
        }
    }
    return options;
}

QString optionsHelp() {
    return QStringLiteral("Usage: kvt-revizareduva [options]\n"
                          "Configuration and service tool for KVT stepper-motor servo controllers on USB.\n"
                          "\n"
                          "Options:\n"
                          "  --simulate[=MODEL]       use a simulated controller instead of USB hardware;\n"
                          "                           MODEL is KVT318 (default), KVT317 or PXA-KVT\n"
                          "  --screenshot FILE        render the main window to the PNG file FILE and exit\n"
                          "                           (needs no display; with --simulate the controller\n"
                          "                           connects and a few polls pass first)\n"
                          "  --screenshot-page N      page shown in the screenshot: 0 Control (default),\n"
                          "                           1 Configuration, 2 RS485, 3 Program, 4 Functions\n"
                          "  --version                print the program version and exit\n"
                          "  -h, --help               print this help and exit\n");
}

} // namespace kvt
