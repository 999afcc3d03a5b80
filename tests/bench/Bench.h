// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Shared by the measurements of the `bench` program: the figures each one leaves for the goal
// lines printed at the end, and the connected application they run on.

#include <QByteArray>
#include <QString>
#include <map>
#include <memory>
#include <string>

namespace rig {
class AppRig;
}

namespace bench {

// Figures by name, filled by the measurements that ran (a filtered-out one leaves none).
std::map<std::string, double>& figures();

// Seconds of the idle-polling CPU measurement (60 unless --idle-seconds=N says otherwise).
int& idleSeconds();

// The whole application with one simulated KVT318 connected and greeted, on the page `page`.
// The rig made by the previous call is reused when it shows the same page; `freshRig` always
// builds a new one. Only one exists at a time; dropRig() ends it.
rig::AppRig& connectedRig(int page);
rig::AppRig& freshRig(int page);
void dropRig();

// Processes events until nothing the link carries is waiting: no input report in the simulated
// device's queue, no read report the UI thread has not handled.
void drainLink(rig::AppRig& rig);

// CPU time of this process (user and system), seconds.
double cpuSeconds();

} // namespace bench
