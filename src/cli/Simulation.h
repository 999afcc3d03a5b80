// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/Exit.h"
#include "cli/Options.h"
#include "sim/SimBackend.h"
#include "sim/SimStateFile.h"

#include <QList>
#include <QString>
#include <memory>
#include <optional>
#include <variant>

namespace kvt::cli {

// The simulated controllers of --simulate: plugged in for this run, their memory taken from the
// state file and given back to it at the end, so a sequence of runs behaves like controllers that
// stay plugged in. The first is "SIM1", the next "SIM2" and so on.
class Simulation {
public:
    // Test hook: when the environment holds KVTCTL_SIM_UNPLUG_AFTER=N, the first simulated
    // controller is unplugged once it has handled N commands, as a cable pulled in the middle of
    // an exchange. Only the tests use it.
    static constexpr const char* UnplugAfterVariable = "KVTCTL_SIM_UNPLUG_AFTER";

    static std::variant<std::unique_ptr<Simulation>, Failure> start(const GlobalOptions& options,
                                                                    const Texts& tr);

    sim::SimBackend& backend() { return *backend_; }
    // Gives the controllers' memory back to the state file. Error text on failure.
    std::optional<QString> save();

private:
    Simulation(QString statePath) : state_(std::move(statePath)) {}

    std::unique_ptr<sim::SimBackend> backend_;
    sim::SimStateFile state_;
    QList<int> ids_;
};

// Where the state is kept without --sim-state: in the user's cache folder.
QString defaultSimStatePath();

} // namespace kvt::cli
