// SPDX-License-Identifier: GPL-3.0-or-later
#include "Bench.h"

#include "AppRig.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "link/HidDeviceManager.h"
#include "sim/SimBackend.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <sys/resource.h>

namespace bench {

namespace {
std::unique_ptr<rig::AppRig> current;
int currentPage = -1;
} // namespace

std::map<std::string, double>& figures() {
    static std::map<std::string, double> all;
    return all;
}

int& idleSeconds() {
    static int seconds = 60;
    return seconds;
}

rig::AppRig& freshRig(int page) {
    dropRig();
    current = std::make_unique<rig::AppRig>();
    current->plugController(QStringLiteral("KVT318"));
    current->settle(300); // connected, identity and configuration answered
    current->showPage(page);
    current->settle();
    currentPage = page;
    return *current;
}

rig::AppRig& connectedRig(int page) {
    if (current && currentPage == page)
        return *current;
    return freshRig(page);
}

void dropRig() {
    current.reset();
    currentPage = -1;
}

void drainLink(rig::AppRig& rig) {
    const kvt::HidDeviceManager& manager = rig.program().mainWindow->deviceManager();
    while (rig.sim().pendingInput() > 0 || manager.ioPending() > 0)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    // Work the handlers left for later (a zero timer) runs now.
    QCoreApplication::processEvents();
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& v) { return double(v.tv_sec) + double(v.tv_usec) * 1e-6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

} // namespace bench
