// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Main.h"

#include "app/BandedFrameStyle.h"
#include "app/FirstPaint.h"
#include "app/MainWindow.h"
#include "app/Options.h"
#include "app/Program.h"
#include "assist/AboutWindow.h"
#include "assist/QtDialogService.h"
#include "assist/StatusBar.h"
#include "version/Version.h"
#include "control/core/MotionCommands.h"
#include "format/core/AtomicFile.h"
#include "encoder/EncoderTestWindow.h"
#include "link/HidBackend.h"
#include "link/Transport.h"
#include "modbus/Rs485Page.h"
#include "program/ProgramTransfer.h"
#include "program/ProgressWindow.h"
#include "sim/SimBackend.h"
#include "sim/SimController.h"
#include "sim/SimStateFile.h"
#include "system/QuitSignals.h"
#include "trend/TrendView.h"

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QMessageBox>
#include <QPointer>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>
#include <exception>

namespace kvt {

namespace {

QPointer<MainWindow> mainWindowForErrors;

// A failure that reached the program's entry: the link stops (no more polls or reports), an
// error box says what happened without a nested event loop, and closing it ends the program.
// Without a display the program ends at once.
void fatal(const QString& what) {
    std::fprintf(stderr, "kvt-revizareduva: %s\n", qPrintable(what));
    if (mainWindowForErrors)
        mainWindowForErrors->stopLink();
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()) ||
        QGuiApplication::platformName() == QLatin1String("offscreen")) {
        std::exit(1);
    }
    static bool shown = false;
    if (shown)
        return; // the first failure is the one the user reads; the program is ending anyway
    shown = true;
    auto* box =
        new QMessageBox(QMessageBox::Critical, QLatin1String(ApplicationTitle), what, QMessageBox::Ok);
    box->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(box, &QMessageBox::finished, [] { QCoreApplication::exit(1); });
    box->open();
}

// Exceptions thrown by a handler end here rather than unwinding through the event loop.
class Application : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            fatal(QString::fromLocal8Bit(e.what()));
        } catch (...) {
            fatal(QStringLiteral("unknown error"));
        }
        return false;
    }
};

int run(int argc, char** argv, const Options& options, const HardwareBackendFactory& hardware) {
    Application app(argc, argv);
    // The style Qt chose (platform, -style, QT_STYLE_OVERRIDE), with its frames drawn in bands.
    QApplication::setStyle(new BandedFrameStyle(QApplication::style()->name()));
    QApplication::setApplicationName(QLatin1String(ApplicationTitle));
    QApplication::setApplicationVersion(QLatin1String(ProgramVersion));
    // Ended by the session, a terminal or kill: the event loop ends as if the window were closed,
    // so the simulated state is still saved. Taken before anything else starts, so a signal
    // during start-up ends the program as soon as the event loop runs.
    QuitSignals quitSignals;
    QObject::connect(&quitSignals, &QuitSignals::received, &app, [] { QCoreApplication::exit(0); });

    std::unique_ptr<HidBackend> backend;
    sim::SimBackend* simulated = nullptr;
    QList<int> simulatedIds;
    std::unique_ptr<sim::SimStateFile> simState;
    if (!options.simulate.isEmpty()) {
        auto sim = std::make_unique<sim::SimBackend>();
        sim->setWrittenLogLimit(sim::SimBackend::WrittenLogLimit);
        const int id = sim->plugController(options.simulate);
        sim::SimController* controller = sim->controller(id);
        // End switches on the axis and 2 V on the analog input, so that the back-and-forth
        // function of the Functions page runs visibly.
        controller->setEndSensors({true, -2.0, 2.0});
        controller->setAnalogMv(2000);
        simulatedIds.append(id);
        if (!options.simState.isEmpty()) {
            simState = std::make_unique<sim::SimStateFile>(options.simState);
            std::optional<QString> error = simState->lock(10000);
            if (!error)
                error = simState->load();
            if (error) {
                std::fprintf(stderr, "kvt-revizareduva: %s\n", qPrintable(*error));
                return 1;
            }
            simState->restoreInto(*sim, simulatedIds);
        }
        simulated = sim.get();
        backend = std::move(sim);
    } else {
        backend = hardware();
    }
    QtDialogService dialogs;
    std::unique_ptr<Program> program;
    try {
        // The window is painted before its hidden pages are built; a screenshot takes the
        // whole window as it is built in one go.
        program = std::make_unique<Program>(*backend, dialogs,
                                            options.screenshot.isEmpty() ? MainWindow::StartUp::WindowFirst
                                                                         : MainWindow::StartUp::Complete);
    } catch (const std::exception& e) {
        fatal(QString::fromLocal8Bit(e.what()));
        return QApplication::exec(); // until the error box is closed
    }
    MainWindow* window = program->mainWindow;
    mainWindowForErrors = window;
    if (!options.simulate.isEmpty())
        window->statusPanels().setPanelText(2, QStringLiteral("SIM")); // nobody takes it for hardware
    window->show();
    // Start-up measurements (scripts/bench.sh) set this: the program reports its first paint and
    // ends. Nothing else reads it.
    if (qEnvironmentVariableIsSet("KVT_REPORT_FIRST_PAINT"))
        reportFirstPaint(window);

    if (!options.screenshot.isEmpty()) {
        window->pages()->setCurrentIndex(options.screenshotPage);
        window->chooseLanguage(options.screenshotLanguage);
        QWidget* shown = window;
        if (options.screenshotWindow == QLatin1String("TForm2"))
            shown = program->aboutWindow;
        else if (options.screenshotWindow == QLatin1String("TForm3"))
            shown = program->encoderTestWindow;
        else if (options.screenshotWindow == QLatin1String("TFormProgress"))
            shown = program->progressWindow;
        int settleMs = options.simulate.isEmpty() ? 300 : 1200;
        if (options.screenshotWindow == QLatin1String("TFormTrend")) {
            window->openTrends();
            trend::TrendView* trend = window->trendWindow();
            if (!trend) {
                // The module is missing or does not fit; opening it said why on standard error.
                return 1;
            }
            shown = trend->widget();
            if (!options.simulate.isEmpty()) {
                // The simulated motor moves to 10 revolutions and back, so the trend shows a run.
                settleMs = 6800;
                Transport* link = &window->link();
                const std::pair<int, QByteArray> run[] = {{700, control::encodeMotionParams(10, 20)},
                                                          {1000, control::encodeCode(op::DriveOn)},
                                                          {1500, control::encodeFloatCommand(op::GoTo, 10)},
                                                          {3700, control::encodeFloatCommand(op::GoTo, 0)},
                                                          {5900, control::encodeCode(op::Stop)}};
                for (const auto& step : run)
                    QTimer::singleShot(step.first, window,
                                       [link, command = step.second] { link->send(command); });
            }
        }
        if (options.screenshotModbusDecoded) {
            // The preview and its decoded view are switched on as a user does, once the
            // controller is connected; the simulated bus master then sends a frame every 700 ms.
            settleMs += 4200;
            QTimer::singleShot(700, window, [window] {
                Rs485Page& page = window->rs485Page();
                for (QCheckBox* box : {page.CheckBox_ModbusPrev, page.cb_ModbusDecode}) {
                    if (!box->isChecked())
                        box->click();
                }
            });
        }
        if (shown == program->progressWindow && !options.simulate.isEmpty()) {
            // The loaded program is sent to the simulated controller once it is connected, so
            // the window shows a finished send.
            QTimer::singleShot(600, window, [window] {
                ProgramTransfer& transfer = window->programTransfer();
                transfer.start(transfer.store().length);
            });
        } else if (shown != window) {
            shown->show();
        }
        // Start-up finishes, a simulated controller connects and a few polls pass.
        QTimer::singleShot(settleMs, window, [&options, shown] {
            QByteArray png;
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            std::optional<QString> error;
            if (!shown->grab().save(&buffer, "PNG"))
                error = QStringLiteral("%1: cannot encode the picture").arg(options.screenshot);
            else
                error = files::writeFileAtomically(options.screenshot, png);
            const bool saved = !error;
            if (error)
                std::fprintf(stderr, "kvt-revizareduva: cannot write %s\n", qPrintable(*error));
            QCoreApplication::exit(saved ? 0 : 1);
        });
    }
    const int result = QApplication::exec();
    program.reset();
    if (simState) {
        simState->storeFrom(*simulated, simulatedIds);
        if (const std::optional<QString> error = simState->save())
            std::fprintf(stderr, "kvt-revizareduva: %s\n", qPrintable(*error));
    }
    return result;
}

} // namespace

bool hasDisplay() {
    const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM").section(QLatin1Char(':'), 0, 0);
    const bool x11 = !qEnvironmentVariableIsEmpty("DISPLAY");
    const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (platform.isEmpty())
        return x11 || wayland;
    if (platform == QLatin1String("xcb"))
        return x11;
    if (platform.startsWith(QLatin1String("wayland")))
        return wayland;
    return true; // offscreen, minimal, vnc, eglfs, linuxfb ...: they need no display server
}

int runApplication(int argc, char** argv, const HardwareBackendFactory& hardware) {
    const Options options = parseOptions(argc, argv);
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "kvt-revizareduva: %s\n%s", qPrintable(options.error),
                     qPrintable(optionsHelp()));
        return 2;
    }
    if (options.help) {
        std::fputs(qPrintable(optionsHelp()), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("kvt-revizareduva %s\n", ProgramVersion);
        return 0;
    }
    if (!options.screenshot.isEmpty()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    } else if (!hasDisplay()) {
        std::fputs("kvt-revizareduva: no display available (DISPLAY is not set); use --screenshot FILE to "
                   "render the window to a PNG instead\n",
                   stderr);
        return 1;
    }
    try {
        return run(argc, argv, options, hardware);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kvt-revizareduva: %s\n", e.what());
        return 1;
    }
}

} // namespace kvt
