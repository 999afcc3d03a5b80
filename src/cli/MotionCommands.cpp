// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/MotionCommands.h"

#include "cli/ConfigComparison.h"
#include "cli/DeviceChoice.h"
#include "cli/Options.h"
#include "cli/StatusCommand.h"
#include "cli/Words.h"
#include "format/core/FloatText.h"
#include "link/HidDevice.h"
#include "link/OpCode.h"

#include <cmath>

namespace kvt::cli {

namespace {

constexpr int WaitPollMs = 200;

// Motor states in which a move or homing is still under way.
bool underWay(quint8 state) {
    return state == 3 || state == 6 || state == 8;
}

} // namespace

MotionCommand::MotionCommand(Session& session, ArgReader& args, Kind kind) : Command(session), kind_(kind) {
    const bool allowed = args.flag({QStringLiteral("--allow-motion")});
    if (kind_ == Kind::Move || kind_ == Kind::Home)
        wait_ = args.flag({QStringLiteral("--wait")});
    const auto take = [&](const QString& option, const control::FloatCommand& command) {
        const std::optional<QString> text = args.value({option});
        if (!text)
            return;
        if (command_) {
            args.setError(tr_("move takes one of --to, --by and --speed",
                              "move przyjmuje jedną z opcji --to, --by, --speed"));
            return;
        }
        const std::optional<double> v = fmt::readDecimal(*text);
        if (!v) {
            args.setError(tr_("%1 \"%2\" is not a number", "%1 \"%2\" nie jest liczbą").arg(option, *text));
            return;
        }
        command_ = command;
        value_ = control::limitToRange(*v, command.lower, command.upper);
        if (double(value_) != double(float(*v)))
            out().warning(
                tr_("%1: %2 %3 is beyond the range; %4 is sent", "%1: %2 %3 poza zakresem; wysłano %4")
                    .arg(name(), option, *text, numberText(value_)));
    };
    if (kind_ == Kind::Move) {
        take(QStringLiteral("--to"), control::GoToCommand);
        take(QStringLiteral("--by"), control::MoveByCommand);
        take(QStringLiteral("--speed"), control::RunAtSpeedCommand);
        if (!command_ && args.ok())
            args.setError(
                tr_("move needs --to X, --by X or --speed V", "move wymaga --to X, --by X lub --speed V"));
        if (wait_ && command_ && command_->code == op::RunAtSpeed)
            args.setError(tr_("--wait waits for a move to end; a run at a speed does not end",
                              "--wait czeka na koniec ruchu; ruch z prędkością się nie kończy"));
    } else if (kind_ == Kind::Home) {
        take(QStringLiteral("--speed"), control::HomeCommand);
        if (!command_ && args.ok())
            args.setError(tr_("home needs --speed V (its sign gives the direction)",
                              "home wymaga --speed V (znak określa kierunek)"));
    }
    if (!args.positionals().isEmpty())
        args.setError(
            tr_("%1 takes no further arguments", "%1 nie przyjmuje dalszych argumentów").arg(name()));
    if (kind_ != Kind::Stop && !allowed && args.ok())
        args.setError(tr_("%1 moves the motor or switches the drive; add --allow-motion to do it",
                          "%1 porusza silnikiem lub przełącza napęd; dodaj --allow-motion, aby to zrobić")
                          .arg(name()));
    poll_.setSingleShot(true);
    connect(&poll_, &QTimer::timeout, this, &MotionCommand::poll);
}

QString MotionCommand::name() const {
    switch (kind_) {
    case Kind::Move:
        return QStringLiteral("move");
    case Kind::Home:
        return QStringLiteral("home");
    case Kind::DriveOn:
        return QStringLiteral("drive on");
    case Kind::DriveOff:
        return QStringLiteral("drive off");
    case Kind::Stop:
        break;
    }
    return QStringLiteral("stop");
}

void MotionCommand::start(ControllerLink* link, std::optional<Model> model) {
    link_ = link;
    model_ = *model;
    // The unit of the positions shown comes with the configuration.
    readStatusView(*link_, model_, tr_, [this](const StatusView& view) {
        units_ = view.units;
        switch (kind_) {
        case Kind::Move:
            link_->send(control::encodeFloatCommand(command_->code, value_));
            afterCommand();
            return;
        case Kind::Stop:
            link_->send(control::encodeCode(op::Stop));
            afterCommand();
            return;
        case Kind::Home:
            link_->request(control::encodeFloatCommand(op::Home, value_), op::Home,
                           tr_("starting homing (162)", "rozpoczęcia bazowania (162)"),
                           [this](const Response&) { afterCommand(); });
            return;
        case Kind::DriveOn:
        case Kind::DriveOff: {
            const quint8 code = kind_ == Kind::DriveOn ? op::DriveOn : op::DriveOff;
            link_->request(control::encodeCode(code), code,
                           kind_ == Kind::DriveOn
                               ? tr_("switching the drive on (151)", "włączania napędu (151)")
                               : tr_("switching the drive off (152)", "wyłączania napędu (152)"),
                           [this](const Response&) { afterCommand(); });
            return;
        }
        }
    });
}

// The live status shows what the controller made of the command.
void MotionCommand::afterCommand() {
    readStatus(*link_, tr_, [this](const control::LiveStatus& status) {
        if ((kind_ == Kind::Move || kind_ == Kind::Home) && status.motorState == 0) {
            fail(Exit::Failure,
                 tr_("the drive is off, so the motor does not move; switch it on with kvtctl drive on "
                     "--allow-motion",
                     "napęd jest wyłączony, silnik się nie porusza; włącz go poleceniem kvtctl drive "
                     "on --allow-motion"));
            return;
        }
        if (wait_ && underWay(status.motorState)) {
            poll_.start(WaitPollMs);
            return;
        }
        showStatus(status);
    });
}

void MotionCommand::poll() {
    readStatus(*link_, tr_, [this](const control::LiveStatus& status) {
        if (underWay(status.motorState))
            poll_.start(WaitPollMs);
        else
            showStatus(status);
    });
}

void MotionCommand::showStatus(const control::LiveStatus& status) {
    const StatusView view{model_, units_, defaultDecimals(model_)};
    const fmt::Separators sep = fmt::Separators::current();
    const QString unit = unitText(units_, tr_);
    out().line(
        tr_("%1: position %2 %3, destination %4 %3, motor %5", "%1: pozycja %2 %3, cel %4 %3, napęd: %5")
            .arg(name(), control::positionText(status.position, view.decimals, sep), unit,
                 control::positionText(status.destination, view.decimals, sep),
                 motorStateText(status.motorState, tr_)));
    QJsonObject o = statusJson(status, view);
    o.insert(QStringLiteral("device"), deviceJson(link_->device()->info()));
    if (command_)
        o.insert(QStringLiteral("sent"), fmt::floatJson(value_));
    succeed(o);
}

void MotionCommand::interrupt() {
    if (!link_ || kind_ == Kind::Stop) {
        Command::interrupt();
        return;
    }
    // Interrupting a wait stops the motor: whoever pressed Ctrl-C wants it to stand.
    poll_.stop();
    link_->cancel();
    link_->send(control::encodeCode(op::Stop));
    // The run ends once the controller has answered after the stop, so the stop is surely out.
    readStatus(*link_, tr_, [this](const control::LiveStatus&) {
        fail(Exit::Interrupted,
             tr_("interrupted; the motor was told to stop", "przerwano; sterownik zatrzymał silnik"));
    });
}

} // namespace kvt::cli
