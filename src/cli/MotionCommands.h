// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/Session.h"
#include "control/core/LiveStatus.h"
#include "control/core/MotionCommands.h"

#include <QTimer>

namespace kvt::cli {

class ArgReader;

// The commands that turn the motor or switch the drive: move, home and drive on|off need
// --allow-motion, so that a script never moves a machine by a slip; stop never does.
class MotionCommand : public Command {
    Q_OBJECT
public:
    enum class Kind { Move, Home, DriveOn, DriveOff, Stop };
    MotionCommand(Session& session, ArgReader& args, Kind kind);
    QString name() const override;
    void start(ControllerLink* link, std::optional<Model> model) override;
    void interrupt() override;

private:
    void afterCommand();
    void showStatus(const control::LiveStatus& status);
    void poll();

    Kind kind_;
    std::optional<control::FloatCommand> command_; // move and home
    float value_ = 0;
    bool wait_ = false;
    ControllerLink* link_ = nullptr;
    Model model_ = Model::Kvt318;
    int units_ = 0;
    QTimer poll_;
};

} // namespace kvt::cli
