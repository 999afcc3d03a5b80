// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/Session.h"
#include "program/core/ProgramStore.h"
#include "report/core/ReportCollector.h"

#include <memory>

namespace kvt::cli {

class ArgReader;

// report -o FILE.pdf|.html|.json [--operator NAME] [--site TEXT] [--notes TEXT]: the
// commissioning report of the controller, read without changing anything in the drive. The file
// is written only once everything was read.
class ReportCommand : public Command {
    Q_OBJECT
public:
    ReportCommand(Session& session, ArgReader& args);
    QString name() const override { return QStringLiteral("report"); }
    void start(ControllerLink* link, std::optional<Model> model) override;

private:
    void ask(ControllerLink* link, int index);
    void write(ControllerLink* link);

    QString output_;
    std::unique_ptr<report::ReportCollector> collector_;
    program::ProgramStore program_;
};

} // namespace kvt::cli
