// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Shared steps of the Program page's suites: the sample program files and a connected controller
// with one of them opened.

#include "RigTest.h"
#include "sim/SimBackend.h"
#include "sim/SimController.h"

namespace testing {

const QString Data = QStringLiteral(KVT_PROGRAM_DATA "/");
constexpr int ProgramPage = 3;

// A connected KVT318 with the Program page shown and the program file `path` opened; returns the
// controller's id, or -1 when the file could not be opened.
inline int connectWithFile(rig::AppRig& rig, const QString& path) {
    const int id = rig.plugController("KVT318");
    rig.settle();
    rig.showPage(ProgramPage);
    rig.answerFile(path);
    if (!rig.click("btn_ProgOpen"))
        return -1;
    rig.settle();
    rig.clearWritten();
    rig.clearDialogs();
    return id;
}

inline kvt::sim::SimController& controller(rig::AppRig& rig, int id) {
    return *rig.sim().controller(id);
}

} // namespace testing
