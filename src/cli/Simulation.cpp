// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Simulation.h"

#include <QDir>
#include <QStandardPaths>

namespace kvt::cli {

namespace {
constexpr int StateLockWaitMs = 10000;
} // namespace

QString defaultSimStatePath() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::CacheLocation))
        .filePath(QStringLiteral("simulated-controllers.json"));
}

std::variant<std::unique_ptr<Simulation>, Failure> Simulation::start(const GlobalOptions& options,
                                                                     const Texts& tr) {
    std::unique_ptr<Simulation> s(
        new Simulation(options.simState.isEmpty() ? defaultSimStatePath() : options.simState));
    std::optional<QString> error = s->state_.lock(StateLockWaitMs);
    if (!error)
        error = s->state_.load();
    if (error)
        return Failure{Exit::Failure, tr("simulated controllers: %1; give another file with --sim-state",
                                         "symulowane sterowniki: %1; podaj inny plik opcją --sim-state")
                                          .arg(*error)};

    s->backend_ = std::make_unique<sim::SimBackend>();
    s->backend_->setWrittenLogLimit(sim::SimBackend::WrittenLogLimit);
    for (const QString& model : options.simulate)
        s->ids_.append(s->backend_->plugController(model));
    s->state_.restoreInto(*s->backend_, s->ids_);

    bool ok = false;
    const int unplugAfter = qEnvironmentVariableIntValue(UnplugAfterVariable, &ok);
    if (ok && unplugAfter > 0) {
        sim::Faults faults;
        faults.vanishAfterCommands = unplugAfter;
        s->backend_->setFaults(s->ids_.first(), faults);
    }
    return s;
}

std::optional<QString> Simulation::save() {
    state_.storeFrom(*backend_, ids_);
    return state_.save();
}

} // namespace kvt::cli
