// SPDX-License-Identifier: GPL-3.0-or-later
// Sequences of input reports handed to the receive path of the fully built main window (every
// page and every subscriber) while it is connected to a simulated KVT318, as the link hands them
// in on the UI thread. The window is built once per process; each input is a run of reports, each
// a length byte and then that many bytes, cut or zero-filled to the device's input report as the
// link does. After each run the pending events are processed, and the window must still be
// connected to the same controller.
//
// The simulated controller answers nothing once connected, so what the handlers do depends on
// the input alone (its clock is held, and the answers to the window's own polls would arrive
// from the reader thread at times of their own).

#include "AppRig.h"
#include "FuzzCheck.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "assist/ScriptedDialogService.h"
#include "link/HidDevice.h"
#include "link/Transport.h"
#include "shell/AppState.h"
#include "sim/SimBackend.h"

#include <QApplication>
#include <QLocale>
#include <cstdint>
#include <memory>

namespace {

struct Harness {
    std::unique_ptr<QApplication> app;
    std::unique_ptr<rig::AppRig> rig;
    kvt::Transport* link = nullptr;
    const kvt::HidDevice* device = nullptr;
    int reportLength = 0; // bytes after the report ID
    std::uint64_t inputs = 0;
};

// Painting after every input took as long as handling its reports, so the windows' updates stay
// off (the main window's and those of the windows it opens: progress, encoder test, trend) and
// they repaint whole (about 10 ms under the sanitizers) after the first input and every 64th one
// from then on, showing what the inputs between left on them; the handlers run on every input.
constexpr std::uint64_t PaintEvery = 64;

void setUpdatesEnabled(bool enabled) {
    for (QWidget* window : QApplication::topLevelWidgets())
        window->setUpdatesEnabled(enabled);
}

// Never destroyed: the process ends with the window still up, as tearing a Qt application down
// from exit handlers would run after Qt's own statics are gone.
Harness& harness() {
    static auto* h = new Harness;
    return *h;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    Harness& h = harness();
    h.app = std::make_unique<QApplication>(*argc, *argv);
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
    h.rig = std::make_unique<rig::AppRig>();
    const int id = h.rig->plugController(QStringLiteral("KVT318"));
    h.rig->settle(); // connected: identity and configuration answered
    kvt::MainWindow& window = *h.rig->program().mainWindow;
    h.link = &window.link();
    h.device = h.link->activeDevice();
    FUZZ_CHECK(h.device && window.state().connected());
    h.reportLength = h.rig->sim().info(id).inputReportLength - 1;
    kvt::sim::Faults silent;
    silent.silent = true;
    h.rig->sim().setFaults(id, silent);
    h.rig->clearWritten();
    h.rig->clearDialogs();
    setUpdatesEnabled(false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Harness& h = harness();
    std::size_t at = 0;
    while (at < size) {
        const std::size_t length = data[at++];
        const std::size_t taken = std::min(length, size - at);
        // What arrives beyond the device's report length is never read; the rest is zeros.
        QByteArray report(h.reportLength, '\0');
        std::copy_n(data + at, std::min<std::size_t>(taken, std::size_t(h.reportLength)), report.data());
        at += taken;
        h.link->receive(report);
    }
    kvt::MainWindow& window = *h.rig->program().mainWindow;
    const bool paint = h.inputs++ % PaintEvery == 0;
    if (paint)
        setUpdatesEnabled(true);
    QCoreApplication::processEvents();
    // Box continuations run after the handler that opened the box; they may open more.
    for (int i = 0; i < 8 && h.rig->dialogService().pendingContinuations() > 0; ++i)
        QCoreApplication::processEvents();
    if (paint)
        setUpdatesEnabled(false);

    FUZZ_CHECK(window.state().connected());
    FUZZ_CHECK(h.link->activeDevice() == h.device);
    // The simulator's log of commands and the rig's record of boxes are the test's, not the
    // window's: they are emptied so that they do not grow with the run.
    h.rig->clearWritten();
    h.rig->clearDialogs();
    return 0;
}
