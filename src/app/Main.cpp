#include "app/Main.h"

#include "app/Options.h"
#include "app/Program.h"
#include "app/TForm1.h"
#include "assist/QtDialogService.h"
#include "assist/StatusBar.h"
#include "assist/TForm2.h"
#include "link/hidraw/HidrawBackend.h"
#include "sim/SimBackend.h"

#include <QApplication>
#include <QMessageBox>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>
#include <exception>

namespace kvt {

namespace {

// Shows a failure that reached the program's entry in an error box and ends the program.
[[noreturn]] void fatal(const QString& what) {
    std::fprintf(stderr, "kvt-revizareduva: %s\n", qPrintable(what));
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) &&
        QGuiApplication::platformName() != QLatin1String("offscreen")) {
        QMessageBox box(QMessageBox::Critical, QLatin1String(ApplicationTitle), what, QMessageBox::Ok);
        box.exec(); // the program's own loop has ended: this is the last thing it does
    }
    std::exit(1);
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
    }
};

bool hasDisplay() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

int run(int argc, char** argv, const Options& options) {
    Application app(argc, argv);
    QApplication::setApplicationName(QLatin1String(ApplicationTitle));
    QApplication::setApplicationVersion(QLatin1String(ProgramVersion));

    std::unique_ptr<HidBackend> backend;
    if (!options.simulate.isEmpty()) {
        auto sim = std::make_unique<sim::SimBackend>();
        sim->plugController(options.simulate);
        backend = std::move(sim);
    } else {
        backend = std::make_unique<HidrawBackend>();
    }
    QtDialogService dialogs;
    auto program = std::make_unique<Program>(*backend, dialogs);
    TForm1* form = program->Form1;
    if (!options.simulate.isEmpty())
        form->statusBar_->setPanelText(2, QStringLiteral("SIM")); // nobody takes it for hardware
    form->show();

    if (!options.screenshot.isEmpty()) {
        form->PageControl1->setCurrentIndex(options.screenshotPage);
        // Start-up finishes, a simulated controller connects and a few polls pass.
        const int settleMs = options.simulate.isEmpty() ? 300 : 1200;
        QTimer::singleShot(settleMs, form, [&] {
            const bool saved = form->grab().save(options.screenshot, "PNG");
            if (!saved)
                std::fprintf(stderr, "kvt-revizareduva: cannot write %s\n", qPrintable(options.screenshot));
            QCoreApplication::exit(saved ? 0 : 1);
        });
    }
    const int result = QApplication::exec();
    program.reset();
    return result;
}

} // namespace

int runApplication(int argc, char** argv) {
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
        return run(argc, argv, options);
    } catch (const std::exception& e) {
        fatal(QString::fromLocal8Bit(e.what()));
    }
}

} // namespace kvt
