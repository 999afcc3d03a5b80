// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Options.h"

#include "link/Model.h"

#include <QCommandLineParser>
#include <QStringList>

namespace kvt {

Options parseOptions(int argc, char** argv) {
    QStringList args;
    for (int i = 0; i < argc; ++i) {
        QString arg = QString::fromLocal8Bit(argv[i]);
        // "--simulate" alone means the default model; the parser only knows options that always
        // or never take a value.
        if (i > 0 && arg == QLatin1String("--simulate"))
            arg = QStringLiteral("--simulate=KVT318");
        args.append(arg);
    }
    if (args.isEmpty())
        args.append(QStringLiteral("kvt-revizareduva"));

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    const QCommandLineOption simulate(QStringLiteral("simulate"), QString(), QStringLiteral("MODEL"));
    const QCommandLineOption screenshot(QStringLiteral("screenshot"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption screenshotPage(QStringLiteral("screenshot-page"), QString(),
                                            QStringLiteral("N"));
    const QCommandLineOption screenshotWindow(QStringLiteral("screenshot-window"), QString(),
                                              QStringLiteral("WINDOW"));
    const QCommandLineOption screenshotLanguage(QStringLiteral("screenshot-language"), QString(),
                                                QStringLiteral("LANGUAGE"));
    const QCommandLineOption screenshotModbus(QStringLiteral("screenshot-modbus-decoded"));
    const QCommandLineOption simState(QStringLiteral("sim-state"), QString(), QStringLiteral("FILE"));
    parser.addOptions({help, version, simulate, simState, screenshot, screenshotPage, screenshotWindow,
                       screenshotLanguage, screenshotModbus});

    Options options;
    if (!parser.parse(args)) {
        options.error = parser.errorText();
        return options;
    }
    if (!parser.positionalArguments().isEmpty()) {
        options.error =
            QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().first());
        return options;
    }
    options.help = parser.isSet(help);
    options.version = parser.isSet(version);
    if (parser.isSet(simulate)) {
        options.simulate = parser.value(simulate);
        if (!modelFromProduct(options.simulate))
            options.error =
                QStringLiteral("unknown model \"%1\" (KVT318, KVT317 or PXA-KVT)").arg(options.simulate);
    }
    if (parser.isSet(simState)) {
        options.simState = parser.value(simState);
        if (options.simState.isEmpty() || options.simState.startsWith(QLatin1Char('-')))
            options.error = QStringLiteral("--sim-state takes a file name");
        else if (options.simulate.isEmpty())
            options.error = QStringLiteral("--sim-state needs --simulate");
    }
    if (parser.isSet(screenshot)) {
        // A file name never starts with a dash here: "--screenshot --simulate" lacks the name.
        options.screenshot = parser.value(screenshot);
        if (options.screenshot.isEmpty() || options.screenshot.startsWith(QLatin1Char('-')))
            options.error = QStringLiteral("--screenshot takes a file name");
    }
    if (parser.isSet(screenshotPage)) {
        bool ok = false;
        options.screenshotPage = parser.value(screenshotPage).toInt(&ok);
        if (!ok || options.screenshotPage < 0 || options.screenshotPage > 4)
            options.error = QStringLiteral("--screenshot-page takes a page number from 0 to 4");
    }
    if (parser.isSet(screenshotWindow)) {
        options.screenshotWindow = parser.value(screenshotWindow);
        if (!QStringList{QStringLiteral("TForm2"), QStringLiteral("TForm3"), QStringLiteral("TFormProgress"),
                         QStringLiteral("TFormTrend")}
                 .contains(options.screenshotWindow))
            options.error =
                QStringLiteral("--screenshot-window takes TForm2, TForm3, TFormProgress or TFormTrend");
    }
    if (parser.isSet(screenshotLanguage)) {
        const QString language = parser.value(screenshotLanguage);
        options.screenshotLanguage = language == QLatin1String("en") ? 2 : 1;
        if (language != QLatin1String("en") && language != QLatin1String("pl"))
            options.error = QStringLiteral("--screenshot-language takes pl or en");
    }
    if (parser.isSet(screenshotModbus)) {
        options.screenshotModbusDecoded = true;
        options.screenshotPage = 2;
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
                          "  --sim-state FILE         keep the simulated controller's memory in FILE\n"
                          "                           between runs (kvtctl --simulate uses it too)\n"
                          "  --screenshot FILE        render the main window to the PNG file FILE and exit\n"
                          "                           (needs no display; with --simulate the controller\n"
                          "                           connects and a few polls pass first)\n"
                          "  --screenshot-page N      page shown in the screenshot: 0 Control (default),\n"
                          "                           1 Configuration, 2 RS485, 3 Program, 4 Functions\n"
                          "  --screenshot-window W    render a secondary window instead of the main window:\n"
                          "                           TForm2 About, TForm3 encoder test, TFormProgress\n"
                          "                           program transfer progress, TFormTrend trends (with\n"
                          "                           --simulate: of a move to 10 revolutions and back)\n"
                          "  --screenshot-language L  language of the screenshot: pl (default) or en\n"
                          "  --screenshot-modbus-decoded\n"
                          "                           the RS485 page with the Modbus frame preview on and\n"
                          "                           decoded (with --simulate: of the bus master's frames)\n"
                          "  --version                print the program version and exit\n"
                          "  -h, --help               print this help and exit\n");
}

} // namespace kvt
