// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/core/ReportCollector.h"

#include "config/core/ConfigRecord.h"
#include "control/core/Identity.h"
#include "control/core/LiveStatus.h"
#include "link/OpCode.h"

namespace kvt::report {

QList<ReportCollector::Request> ReportCollector::requests() {
    return {
        {QByteArray(1, char(op::Identity)), op::Identity, QStringLiteral("the identity (100)"),
         QStringLiteral("identyfikacji (100)")},
        {config::readConfigCommand(), op::Configuration, QStringLiteral("the configuration (99)"),
         QStringLiteral("konfiguracji (99)")},
        {QByteArray(1, char(op::LiveStatus)), op::LiveStatus, QStringLiteral("the live status (97)"),
         QStringLiteral("bieżącego stanu (97)")},
    };
}

bool ReportCollector::take(const Response& response) {
    switch (response.code()) {
    case op::Identity: {
        const control::DeviceIdentity identity = control::decodeIdentity(response.data);
        data_.firmware = identity.firmware;
        data_.deviceText = identity.deviceText;
        identity_ = true;
        return true;
    }
    case op::Configuration:
        data_.configuration = config::decodeConfigReport(response.data);
        return true;
    case op::LiveStatus:
        data_.status = control::decodeLiveStatus(response.data);
        return true;
    default:
        return false;
    }
}

void ReportCollector::takeProgram(const program::ProgramStore& store) {
    data_.program = summarizeProgram(store);
}

bool ReportCollector::complete() const {
    return identity_ && data_.configuration && data_.status && (!data_.sections.program || data_.program);
}

} // namespace kvt::report
