// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ProgramCommands.h"

#include "cli/DeviceChoice.h"
#include "cli/Options.h"
#include "cli/Words.h"
#include "config/core/ConfigRecord.h"
#include "link/HidDevice.h"
#include "link/OpCode.h"
#include "program/core/ProgramControl.h"
#include "program/core/ProgramFile.h"

#include <QJsonArray>
#include <memory>

namespace kvt::cli {

namespace {

QJsonArray recordsJson(const program::ProgramStore& store) {
    QJsonArray records;
    for (quint32 i = 0; i < store.length && i < quint32(program::ProgramCapacity); ++i) {
        const program::CommandRecord& r = store.commands[i];
        records.append(QString::fromLatin1(
            QByteArray(reinterpret_cast<const char*>(r.data()), qsizetype(r.size())).toHex()));
    }
    return records;
}

// The fields of a result about `device`; the command's envelope is added when it is printed.
QJsonObject resultJson(const HidDeviceInfo& device) {
    return {{QStringLiteral("device"), deviceJson(device)}};
}

} // namespace

void readProgram(ControllerLink& link, const Texts& tr, program::ProgramStore& store,
                 std::function<void()> then) {
    auto readBack = std::make_shared<program::ReadBack>();
    link.request(ByteWriter().u8(op::ProgramReadLength).data(), op::ProgramReadLength,
                 tr("reading the program length (103)", "odczytu długości programu (103)"),
                 [&link, &tr, &store, readBack, then = std::move(then)](const Response& r) {
                     const program::ReadBackStart begin = readBack->start(store, r.bytes());
                     if (store.length == 0) {
                         then();
                         return;
                     }
                     const QString step =
                         tr("reading the program (%1 of %2 commands)", "odczytu programu (%1 z %2 komend)");
                     link.send(ByteWriter().u8(op::ProgramReadNext).data());
                     link.await(
                         step.arg(0).arg(store.length),
                         [&link, &store, readBack, step](const Response& next) {
                             if (next.code() != op::ProgramReadNext)
                                 return ControllerLink::Take::Ignore;
                             const program::ReadBackStep s = readBack->take(store, next.bytes());
                             if (s.complete)
                                 return ControllerLink::Take::Done;
                             link.setStep(step.arg(s.index + 1).arg(store.length));
                             if (s.askNext)
                                 link.send(ByteWriter().u8(op::ProgramReadNext).data());
                             return ControllerLink::Take::Progress;
                         },
                         [then](const Response&) { then(); });
                     Q_UNUSED(begin);
                 });
}

ProgramSendCommand::ProgramSendCommand(Session& session, ArgReader& args) : Command(session) {
    if (const std::optional<QString> a = args.value({QStringLiteral("--address")})) {
        bool ok = false;
        address_ = a->toInt(&ok);
        if (!ok || address_ < 0 || address_ >= program::AddressCount)
            args.setError(tr_("--address takes a device address from 0 to 15",
                              "--address przyjmuje adres urządzenia od 0 do 15"));
    }
    verify_ = !args.flag({QStringLiteral("--no-verify")});
    const QStringList files = args.positionals();
    if (files.size() != 1)
        args.setError(
            tr_("program send takes one program file", "program send wymaga jednego pliku programu"));
    else
        file_ = files.first();
}

void ProgramSendCommand::start(ControllerLink* link, std::optional<Model>) {
    link_ = link;
    const program::ProgramFileLoad load = program::loadProgramFile(file_, address_, store_);
    switch (load.result) {
    case program::LoadResult::TooLarge:
        fail(Exit::Failure, tr_("%1 is larger than %2 bytes (300 commands); it is not a program file",
                                "%1 ma więcej niż %2 bajtów (300 komend); to nie jest plik programu")
                                .arg(file_)
                                .arg(program::MaxProgramFileSize));
        return;
    case program::LoadResult::NoProgram:
    case program::LoadResult::NoFileName:
        if (!load.read)
            fail(Exit::Failure,
                 tr_("cannot read %1; check the file name", "nie można odczytać %1; sprawdź nazwę pliku")
                     .arg(file_));
        else
            fail(Exit::Failure,
                 tr_("%1 holds no command for device address %2; choose another with --address",
                     "%1 nie zawiera komend dla adresu %2; wybierz inny opcją --address")
                     .arg(file_)
                     .arg(address_));
        return;
    case program::LoadResult::Loaded:
        break;
    }

    const QString step =
        tr_("sending the program (%1 of %2 commands sent)", "wysyłania programu (wysłano %1 z %2 komend)");
    link_->send(program::beginSend(store_));
    link_->await(
        step.arg(0).arg(store_.length),
        [this, step](const Response& r) {
            if (r.code() != op::ProgramRecord)
                return ControllerLink::Take::Ignore;
            const program::SendStep s = program::answerRequest(store_, r.bytes());
            switch (s.kind) {
            case program::SendStep::Ignored:
                return ControllerLink::Take::Ignore;
            case program::SendStep::Answered:
                link_->send(s.command);
                link_->setStep(step.arg(s.index + 1).arg(store_.length));
                return ControllerLink::Take::Progress;
            case program::SendStep::Complete:
                break;
            }
            return ControllerLink::Take::Done;
        },
        [this](const Response&) {
            if (!verify_) {
                reportSent(false);
                return;
            }
            auto stored = std::make_shared<program::ProgramStore>();
            readProgram(*link_, tr_, *stored, [this, stored] { verify(*stored); });
        });
}

void ProgramSendCommand::verify(const program::ProgramStore& stored) {
    if (stored.length != store_.length) {
        fail(Exit::Mismatch,
             tr_("the controller holds %1 commands after %2 were sent; send the program again",
                 "sterownik ma %1 komend po wysłaniu %2; wyślij program ponownie")
                 .arg(stored.length)
                 .arg(store_.length));
        return;
    }
    for (quint32 i = 0; i < store_.length; ++i) {
        if (stored.commands[i] != store_.commands[i]) {
            fail(Exit::Mismatch,
                 tr_("command %1 of the program came back as %2 instead of %3; send the program again",
                     "komenda %1 programu wróciła jako %2 zamiast %3; wyślij program ponownie")
                     .arg(i)
                     .arg(program::listingLine(stored.commands[i]).trimmed(),
                          program::listingLine(store_.commands[i]).trimmed()));
            return;
        }
    }
    reportSent(true);
}

void ProgramSendCommand::reportSent(bool verified) {
    const HidDeviceInfo& device = link_->device()->info();
    out().line(tr_("%1 commands of %2 (address %3) sent to %4%5", "wysłano %1 komend z %2 (adres %3) do %4%5")
                   .arg(store_.length)
                   .arg(file_)
                   .arg(address_)
                   .arg(deviceLabel(device),
                        verified ? tr_(", read back and verified", ", odczytane i sprawdzone") : QString()));
    QJsonObject o = resultJson(device);
    o.insert(QStringLiteral("file"), file_);
    o.insert(QStringLiteral("address"), address_);
    o.insert(QStringLiteral("commands"), int(store_.length));
    o.insert(QStringLiteral("verified"), verified);
    succeed(o);
}

ProgramReadCommand::ProgramReadCommand(Session& session, ArgReader& args) : Command(session) {
    output_ = args.value({QStringLiteral("-o"), QStringLiteral("--output")}).value_or(QString());
    if (!args.positionals().isEmpty())
        args.setError(tr_("program read takes no file; write it with -o FILE",
                          "program read nie przyjmuje pliku; zapisz go opcją -o PLIK"));
}

void ProgramReadCommand::start(ControllerLink* link, std::optional<Model>) {
    auto store = std::make_shared<program::ProgramStore>();
    readProgram(*link, tr_, *store, [this, link, store] {
        const HidDeviceInfo& device = link->device()->info();
        QString path;
        if (!output_.isEmpty()) {
            path = program::withProgramExtension(output_);
            if (const std::optional<QString> error =
                    program::writeProgramFile(path, program::encodeProgramFile(*store))) {
                fail(Exit::Failure, tr_("cannot write %1: %2", "nie można zapisać %1: %2").arg(path, *error));
                return;
            }
            out().line(
                tr_("%1 commands read from %2 and saved to %3", "odczytano %1 komend z %2 i zapisano do %3")
                    .arg(store->length)
                    .arg(deviceLabel(device), path));
        } else {
            for (const QString& line : store->listing())
                out().line(line);
        }
        QJsonObject o = resultJson(device);
        o.insert(QStringLiteral("file"), path.isEmpty() ? QJsonValue() : QJsonValue(path));
        o.insert(QStringLiteral("commands"), int(store->length));
        o.insert(QStringLiteral("records"), recordsJson(*store));
        succeed(o);
    });
}

ProgramRunCommand::ProgramRunCommand(Session& session, ArgReader& args, Action action)
    : Command(session), action_(action) {
    if (!args.positionals().isEmpty())
        args.setError(tr_("%1 takes no arguments", "%1 nie przyjmuje argumentów").arg(name()));
}

QString ProgramRunCommand::name() const {
    switch (action_) {
    case Action::Start:
        return QStringLiteral("program start");
    case Action::Pause:
        return QStringLiteral("program pause");
    case Action::Stop:
        break;
    }
    return QStringLiteral("program stop");
}

void ProgramRunCommand::start(ControllerLink* link, std::optional<Model> model) {
    if (action_ != Action::Start || model != Model::Kvt318) {
        send(link);
        return;
    }
    // A KVT318 set to run its program from the START input does not take the command.
    link->request(
        config::readConfigCommand(), op::Configuration,
        tr_("reading the configuration (99)", "odczytu konfiguracji (99)"), [this, link](const Response& r) {
            if (config::decodeConfigReport(r.data).StartStopMode != 0)
                out().warning(name() + tr_(": the controller starts its program only by its START input "
                                           "(StartStopMode); the command may be ignored",
                                           ": sterownik uruchamia program tylko wejściem START "
                                           "(StartStopMode); polecenie może zostać pominięte"));
            send(link);
        });
}

void ProgramRunCommand::send(ControllerLink* link) {
    switch (action_) {
    case Action::Start:
        link->send(program::encodeStart());
        break;
    case Action::Pause:
        link->send(program::encodePause());
        break;
    case Action::Stop:
        link->send(program::encodeStop());
        break;
    }
    link->request(program::encodeRunStateRequest(), op::ProgramRunState,
                  tr_("reading the program's run state (31)", "odczytu stanu programu (31)"),
                  [this, link](const Response& r) {
                      const int state = r.bytes().u8(1);
                      out().line(tr_("program: %1", "program: %1").arg(runStateText(state, tr_)));
                      QJsonObject o = resultJson(link->device()->info());
                      o.insert(QStringLiteral("runState"), state);
                      succeed(o);
                  });
}

} // namespace kvt::cli
