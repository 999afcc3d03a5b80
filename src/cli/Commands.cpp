// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Commands.h"

#include "cli/ConfigCommands.h"
#include "cli/EncoderTestCommand.h"
#include "cli/ListCommand.h"
#include "cli/ModbusWatchCommand.h"
#include "cli/MotionCommands.h"
#include "cli/Options.h"
#include "cli/ProgramCommands.h"
#include "cli/RegisterCommands.h"
#include "cli/ReportCommand.h"
#include "cli/StatusCommand.h"

#include <QMap>

namespace kvt::cli {

std::variant<std::unique_ptr<Command>, QString> makeCommand(const QStringList& words, Session& session) {
    const Texts& tr = session.tr();
    if (words.isEmpty())
        return tr("no command given", "nie podano polecenia");
    const QString& verb = words.first();
    const QString sub = words.value(1);
    ArgReader args(words.mid(1), tr);
    ArgReader subArgs(words.mid(2), tr);
    std::unique_ptr<Command> command;
    ArgReader* used = &args;

    const auto missing = [&](const QString& choices) {
        return tr("%1 needs one of: %2", "%1 wymaga jednego z: %2").arg(verb, choices);
    };
    if (verb == QLatin1String("list")) {
        command = std::make_unique<ListCommand>(session, args);
    } else if (verb == QLatin1String("status")) {
        command = std::make_unique<StatusCommand>(session, args);
    } else if (verb == QLatin1String("config")) {
        used = &subArgs;
        if (sub == QLatin1String("get"))
            command = std::make_unique<ConfigGetCommand>(session, subArgs);
        else if (sub == QLatin1String("set"))
            command = std::make_unique<ConfigSetCommand>(session, subArgs, ConfigSetCommand::Mode::Set);
        else if (sub == QLatin1String("diff"))
            command = std::make_unique<ConfigSetCommand>(session, subArgs, ConfigSetCommand::Mode::Diff);
        else
            return missing(QStringLiteral("get, set, diff"));
    } else if (verb == QLatin1String("program")) {
        used = &subArgs;
        if (sub == QLatin1String("send"))
            command = std::make_unique<ProgramSendCommand>(session, subArgs);
        else if (sub == QLatin1String("read"))
            command = std::make_unique<ProgramReadCommand>(session, subArgs);
        else if (sub == QLatin1String("start"))
            command = std::make_unique<ProgramRunCommand>(session, subArgs, ProgramRunCommand::Action::Start);
        else if (sub == QLatin1String("pause"))
            command = std::make_unique<ProgramRunCommand>(session, subArgs, ProgramRunCommand::Action::Pause);
        else if (sub == QLatin1String("stop"))
            command = std::make_unique<ProgramRunCommand>(session, subArgs, ProgramRunCommand::Action::Stop);
        else
            return missing(QStringLiteral("send, read, start, pause, stop"));
    } else if (verb == QLatin1String("reg")) {
        used = &subArgs;
        if (sub == QLatin1String("get"))
            command = std::make_unique<RegisterGetCommand>(session, subArgs);
        else if (sub == QLatin1String("set"))
            command = std::make_unique<RegisterSetCommand>(session, subArgs);
        else if (sub == QLatin1String("save"))
            command = std::make_unique<RegisterSaveCommand>(session, subArgs);
        else
            return missing(QStringLiteral("get, set, save"));
    } else if (verb == QLatin1String("modbus")) {
        used = &subArgs;
        if (sub == QLatin1String("watch"))
            command = std::make_unique<ModbusWatchCommand>(session, subArgs);
        else
            return missing(QStringLiteral("watch"));
    } else if (verb == QLatin1String("encoder-test")) {
        command = std::make_unique<EncoderTestCommand>(session, args);
    } else if (verb == QLatin1String("report")) {
        command = std::make_unique<ReportCommand>(session, args);
    } else if (verb == QLatin1String("factory-reset")) {
        command = std::make_unique<FactoryResetCommand>(session, args);
    } else if (verb == QLatin1String("move")) {
        command = std::make_unique<MotionCommand>(session, args, MotionCommand::Kind::Move);
    } else if (verb == QLatin1String("home")) {
        command = std::make_unique<MotionCommand>(session, args, MotionCommand::Kind::Home);
    } else if (verb == QLatin1String("stop")) {
        command = std::make_unique<MotionCommand>(session, args, MotionCommand::Kind::Stop);
    } else if (verb == QLatin1String("drive")) {
        used = &subArgs;
        if (sub == QLatin1String("on"))
            command = std::make_unique<MotionCommand>(session, subArgs, MotionCommand::Kind::DriveOn);
        else if (sub == QLatin1String("off"))
            command = std::make_unique<MotionCommand>(session, subArgs, MotionCommand::Kind::DriveOff);
        else
            return missing(QStringLiteral("on, off"));
    } else {
        return tr("unknown command \"%1\"", "nieznane polecenie \"%1\"").arg(verb);
    }
    if (!used->ok())
        return used->error();
    return command;
}

QString commandName(const QStringList& words) {
    static const QMap<QString, QStringList> Commands = {
        {QStringLiteral("list"), {}},
        {QStringLiteral("status"), {}},
        {QStringLiteral("config"), {QStringLiteral("get"), QStringLiteral("set"), QStringLiteral("diff")}},
        {QStringLiteral("program"),
         {QStringLiteral("send"), QStringLiteral("read"), QStringLiteral("start"), QStringLiteral("pause"),
          QStringLiteral("stop")}},
        {QStringLiteral("reg"), {QStringLiteral("get"), QStringLiteral("set"), QStringLiteral("save")}},
        {QStringLiteral("encoder-test"), {}},
        {QStringLiteral("factory-reset"), {}},
        {QStringLiteral("move"), {}},
        {QStringLiteral("home"), {}},
        {QStringLiteral("stop"), {}},
        {QStringLiteral("drive"), {QStringLiteral("on"), QStringLiteral("off")}},
    };
    const QString verb = words.value(0);
    const auto it = Commands.constFind(verb);
    if (it == Commands.cend())
        return {};
    const QString sub = words.value(1);
    return it->contains(sub) ? verb + QLatin1Char(' ') + sub : verb;
}

} // namespace kvt::cli
