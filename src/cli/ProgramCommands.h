// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/Session.h"
#include "program/core/ProgramStore.h"
#include "program/core/ProgramTransfer.h"

#include <QString>
#include <functional>

namespace kvt::cli {

class ArgReader;

// program send FILE [--address N] [--no-verify]: the program of one device address of a program
// file, sent as the controller asks for it, then read back and compared.
class ProgramSendCommand : public Command {
    Q_OBJECT
public:
    ProgramSendCommand(Session& session, ArgReader& args);
    QString name() const override { return QStringLiteral("program send"); }
    void start(ControllerLink* link, std::optional<Model> model) override;

private:
    void verify(const program::ProgramStore& stored);
    void reportSent(bool verified);

    QString file_;
    int address_ = 0;
    bool verify_ = true;
    ControllerLink* link_ = nullptr;
    program::ProgramStore store_;
};

// program read [-o FILE]: the controller's program, to a program file or as a listing.
class ProgramReadCommand : public Command {
    Q_OBJECT
public:
    ProgramReadCommand(Session& session, ArgReader& args);
    QString name() const override { return QStringLiteral("program read"); }
    void start(ControllerLink* link, std::optional<Model> model) override;

private:
    QString output_;
};

// program start|pause|stop: the command, then the run state the controller reports.
class ProgramRunCommand : public Command {
    Q_OBJECT
public:
    enum class Action { Start, Pause, Stop };
    ProgramRunCommand(Session& session, ArgReader& args, Action action);
    QString name() const override;
    void start(ControllerLink* link, std::optional<Model> model) override;

private:
    void send(ControllerLink* link);
    Action action_;
};

// Reads the controller's program into `store` (commands and length), then calls `then`. Programs
// of any length are read, one and two commands included.
void readProgram(ControllerLink& link, const Texts& tr, program::ProgramStore& store,
                 std::function<void()> then);

} // namespace kvt::cli
