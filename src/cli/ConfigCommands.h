// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/ConfigComparison.h"
#include "cli/Session.h"

#include <QString>

namespace kvt::cli {

class ArgReader;

// config get [-o FILE] [--decimals N]: the record in the configuration-file format of the
// window's save, to a file or to standard output.
class ConfigGetCommand : public Command {
    Q_OBJECT
public:
    ConfigGetCommand(Session& session, ArgReader& args);
    QString name() const override { return QStringLiteral("config get"); }
    void start(ControllerLink* link, std::optional<Model> model) override;

private:
    QString output_;
    std::optional<int> decimals_;
};

// config set FILE [--dry-run] [--modbus] [--modbus-address N] and config diff FILE [--modbus]:
// the file through the window's load rules onto the record the controller holds, then written
// and verified, or only compared.
class ConfigSetCommand : public Command {
    Q_OBJECT
public:
    enum class Mode { Set, Diff };
    ConfigSetCommand(Session& session, ArgReader& args, Mode mode);
    QString name() const override {
        return mode_ == Mode::Set ? QStringLiteral("config set") : QStringLiteral("config diff");
    }
    void start(ControllerLink* link, std::optional<Model> model) override;

private:
    void plan(const config::ConfigReport& report);
    void write();
    void verify(const config::ConfigReport& report);
    void printChanges(const QString& title, const QList<FieldChange>& changes) const;
    QJsonArray changesJson(const QList<FieldChange>& changes) const;

    Mode mode_;
    QString file_;
    bool dryRun_ = false;
    bool modbus_ = false;
    std::optional<int> modbusAddress_;
    ControllerLink* link_ = nullptr;
    Model model_ = Model::Kvt318;
    HeldConfig before_;
    HeldConfig planned_;
    config::ConfigWrite write_;
    QStringList adjusted_; // values the load rules limited, as notes
};

// factory-reset --yes: the controller's factory settings.
class FactoryResetCommand : public Command {
    Q_OBJECT
public:
    FactoryResetCommand(Session& session, ArgReader& args);
    QString name() const override { return QStringLiteral("factory-reset"); }
    void start(ControllerLink* link, std::optional<Model> model) override;
};

// Reads the configuration record, then calls `then` with it decoded.
void readConfiguration(ControllerLink& link, const Texts& tr,
                       std::function<void(const config::ConfigReport&)> then);

} // namespace kvt::cli
