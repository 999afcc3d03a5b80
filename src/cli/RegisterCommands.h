// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/Session.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>
#include <variant>

namespace kvt::cli {

class ArgReader;

// The user registers a command names: "R50", "50", ranges "R50..R60"; registers are even
// numbers from 50 to 98 (each holds the pair n, n+1). None named: R50..R96, the registers the
// window's Program page shows. Error text when a name is not a register.
std::variant<QList<int>, QString> parseRegisterList(const QStringList& words, const Texts& tr);
// "R50=1.5" (a point or a comma as the decimal mark); error text otherwise.
struct RegisterValue {
    int n = 0;
    float value = 0;
};
std::variant<RegisterValue, QString> parseRegisterValue(const QString& word, const Texts& tr);

// reg get [R50..R96 ...]: the registers read from the controller.
class RegisterGetCommand : public Command {
    Q_OBJECT
public:
    RegisterGetCommand(Session& session, ArgReader& args);
    QString name() const override { return QStringLiteral("reg get"); }
    void start(ControllerLink* link, std::optional<Model> model) override;

private:
    QList<int> registers_;
};

// reg set R50=1.5 ...: each value sent and acknowledged, then all read back and compared.
class RegisterSetCommand : public Command {
    Q_OBJECT
public:
    RegisterSetCommand(Session& session, ArgReader& args);
    QString name() const override { return QStringLiteral("reg set"); }
    void start(ControllerLink* link, std::optional<Model> model) override;

private:
    void sendNext(ControllerLink* link, int index);
    void verify(ControllerLink* link, const QMap<int, quint32>& held);
    QList<RegisterValue> values_;
};

// reg save: the user registers into the controller's non-volatile memory.
class RegisterSaveCommand : public Command {
    Q_OBJECT
public:
    RegisterSaveCommand(Session& session, ArgReader& args);
    QString name() const override { return QStringLiteral("reg save"); }
    void start(ControllerLink* link, std::optional<Model> model) override;
};

// Reads all user registers (both halves of response 106): register pair number -> value.
void readRegisters(ControllerLink& link, const Texts& tr,
                   std::function<void(const QMap<int, quint32>&)> then);

} // namespace kvt::cli
