// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/Transport.h"

#include "link/HidDevice.h"

#include <algorithm>

namespace kvt {

QByteArray frameOutputReport(const QByteArray& command, int reportLength) {
    const int length = std::max(reportLength, 1);
    QByteArray report(length, '\0');
    report[0] = 1;
    const int count = std::min(int(command.size()), length - 1);
    std::copy_n(command.constData(), count, report.data() + 1);
    return report;
}

void Transport::setActiveDevice(HidDevice* device) {
    active_ = device;
}

quint32 Transport::activeInstance() const {
    return active_ ? active_->deviceInstance() : 0;
}

void Transport::send(const QByteArray& command) {
    if (!active_ || command.isEmpty())
        return;
    const QByteArray cut = command.left(255);
    active_->writeReport(frameOutputReport(cut, active_->outputReportLength()));
    emit commandSent(cut);
}

} // namespace kvt
