// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ReportCommand.h"

#include "cli/DeviceChoice.h"
#include "cli/Options.h"
#include "cli/ProgramCommands.h"
#include "link/HidDevice.h"
#include "report/ReportDocument.h"
#include "version/Version.h"

#include <QDateTime>

namespace kvt::cli {

ReportCommand::ReportCommand(Session& session, ArgReader& args) : Command(session) {
    report::ReportData data;
    data.operatorName = args.value({QStringLiteral("--operator")}).value_or(QString());
    data.site = args.value({QStringLiteral("--site")}).value_or(QString());
    data.notes = args.value({QStringLiteral("--notes")}).value_or(QString());
    collector_ = std::make_unique<report::ReportCollector>(std::move(data));
    output_ = args.value({QStringLiteral("-o"), QStringLiteral("--output")}).value_or(QString());
    if (!args.positionals().isEmpty())
        args.setError(tr_("report takes no file; name it with -o FILE", "report nie przyjmuje pliku; podaj go opcją -o PLIK"));
    else if (output_.isEmpty() || !report::formatOf(output_))
        args.setError(tr_("report needs -o FILE ending in .pdf, .html or .json",
                          "report wymaga -o PLIK z rozszerzeniem .pdf, .html lub .json"));
}

void ReportCommand::start(ControllerLink* link, std::optional<Model> model) {
    report::ReportData& data = collector_->data();
    data.programVersion = QString::fromLatin1(ProgramVersion);
    data.createdAt = QDateTime::currentDateTime();
    data.model = model;
    data.devicePath = link->device()->info().path;
    data.serialNumber = link->device()->info().serial;
    ask(link, 0);
}

void ReportCommand::ask(ControllerLink* link, int index) {
    const QList<report::ReportCollector::Request> requests = report::ReportCollector::requests();
    if (index == requests.size()) {
        // The stored program, read as program read reads it.
        readProgram(*link, tr_, program_, [this, link] {
            collector_->takeProgram(program_);
            write(link);
        });
        return;
    }
    const report::ReportCollector::Request& r = requests[index];
    link->request(r.command, r.answer,
                  tr_("reading %1", "odczytu %1")
                      .arg(tr_.language() == Language::Polish ? r.stepPolish : r.step),
                  [this, link, index](const Response& response) {
                      collector_->take(response);
                      ask(link, index + 1);
                  });
}

void ReportCommand::write(ControllerLink* link) {
    const report::Language language =
        tr_.language() == Language::Polish ? report::Language::Polish : report::Language::English;
    if (const std::optional<QString> error = report::writeReport(output_, collector_->data(), language)) {
        fail(Exit::Failure, tr_("cannot write the report: %1", "nie można zapisać raportu: %1").arg(*error));
        return;
    }
    const HidDeviceInfo& device = link->device()->info();
    out().line(tr_("report of %1 written to %2", "raport %1 zapisany do %2").arg(deviceLabel(device), output_));
    succeed({{QStringLiteral("device"), deviceJson(device)}, {QStringLiteral("file"), output_}});
}

} // namespace kvt::cli
