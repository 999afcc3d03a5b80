// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/Dispatcher.h"
#include "report/core/ReportData.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace kvt::report {

// Reads what the report needs from the connected controller with the queries the pages use:
// identity (100), configuration (99, which carries the Modbus link) and one live status (97).
// Nothing is written to the drive. The caller sends each request in turn and hands the answers
// to take(); the stored program is read by the program transfer and handed over with
// takeProgram(), so its exchange is not written twice.
class ReportCollector {
public:
    struct Request {
        QByteArray command;
        quint8 answer = 0;
        QString step; // what is awaited, in English and Polish: "identity (100)"
        QString stepPolish;
    };

    explicit ReportCollector(ReportData data) : data_(std::move(data)) {}

    // The queries, in the order they are sent.
    static QList<Request> requests();

    // Takes one answer; false for a report of another code (the caller keeps waiting).
    bool take(const Response& response);
    void takeProgram(const program::ProgramStore& store);

    // True once every query has its answer.
    bool complete() const;

    ReportData& data() { return data_; }
    const ReportData& data() const { return data_; }

private:
    ReportData data_;
    bool identity_ = false;
};

} // namespace kvt::report
