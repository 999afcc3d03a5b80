// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Shared steps of the tests that drive the trend window through the whole application.

#include "RigTest.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "app/TrendModule.h"
#include "shell/Poller.h"
#include "sim/SimBackend.h"
#include "sim/SimController.h"
#include "trend/TrendWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace testing {

inline kvt::Poller* poller(rig::AppRig& rig) {
    return rig.program().mainWindow->findChild<kvt::Poller*>();
}

// The program loads the trend window from its module; the tests link the window in.
inline void linkTrendWindowIn() {
    kvt::TrendModule::provide(&kvt::trend::TrendWindow::create);
}

// Opens the trend window from the main menu.
inline kvt::trend::TrendWindow* openTrends(rig::AppRig& rig) {
    linkTrendWindowIn();
    if (!rig.click(QStringLiteral("Trendy1")))
        return nullptr;
    rig.settle();
    kvt::trend::TrendView* view = rig.program().mainWindow->trendWindow();
    return view ? dynamic_cast<kvt::trend::TrendWindow*>(view) : nullptr;
}

// Chooses an entry of one of the window's lists as the user does.
inline void choose(QComboBox* box, int index) {
    box->setCurrentIndex(index);
    emit box->activated(index);
}

// Moves the simulated controller's time on by `ms` in steps of one poll period, polling once
// per step with the poll timer held, so every test sees the same samples.
inline void runPolled(rig::AppRig& rig, int ms, int periodMs = 50) {
    kvt::Poller* p = poller(rig);
    p->timer()->stop();
    for (int t = 0; t < ms; t += periodMs) {
        rig.sim().advance(periodMs);
        p->poll();
        rig.settle();
    }
}

// Drive on, a move to 10 revolutions and back to 0, stop: working speed 10/s, acceleration
// 20/s^2. `wait(ms)` lets the controller's time move on.
template <typename Wait> void driveThereAndBack(rig::AppRig& rig, Wait wait) {
    QVERIFY(rig.type("Edit_SetVmax", "10"));
    QVERIFY(rig.type("Edit_SetAcc", "20"));
    QVERIFY(rig.click("btn_SetMoveParam"));
    wait(200);
    QVERIFY(rig.click("Btn_MotorEnable"));
    wait(300);
    QVERIFY(rig.type("Edit_Xdest", "10"));
    QVERIFY(rig.click("btn_SetXdest1"));
    wait(2000);
    QVERIFY(rig.type("Edit_Xdest", "0"));
    QVERIFY(rig.click("btn_SetXdest1"));
    wait(2000);
    QVERIFY(rig.click("btn_MotorStop"));
    wait(300);
}

} // namespace testing
