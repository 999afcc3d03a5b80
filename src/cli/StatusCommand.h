// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/Session.h"
#include "control/core/LiveStatus.h"

#include <QJsonObject>
#include <QStringList>
#include <QTimer>

namespace kvt::cli {

class ArgReader;

// How the live status is shown: the unit and display precision come from the configuration.
struct StatusView {
    Model model = Model::Kvt318;
    int units = 0;    // the configured unit, list position
    int decimals = 3; // display precision of positions and speeds
};

// The live status as labelled lines, as one line for --watch, and as JSON.
QStringList statusLines(const control::LiveStatus& status, const StatusView& view, const Texts& tr);
QString statusLine(const control::LiveStatus& status, const StatusView& view, const Texts& tr);
QJsonObject statusJson(const control::LiveStatus& status, const StatusView& view);

// Reads the unit and precision for the live status from the configuration, then calls `then`.
void readStatusView(ControllerLink& link, Model model, const Texts& tr,
                    std::function<void(const StatusView&)> then);
// Reads one live status (97).
void readStatus(ControllerLink& link, const Texts& tr, std::function<void(const control::LiveStatus&)> then);

// status [--watch [PERIOD]]: the live status, once or one line per sample until interrupted.
class StatusCommand : public Command {
    Q_OBJECT
public:
    StatusCommand(Session& session, ArgReader& args);
    QString name() const override { return QStringLiteral("status"); }
    void start(ControllerLink* link, std::optional<Model> model) override;
    void interrupt() override;

private:
    void sample();

    bool watch_ = false;
    int periodMs_ = 500;
    ControllerLink* link_ = nullptr;
    StatusView view_;
    QTimer timer_;
};

} // namespace kvt::cli
