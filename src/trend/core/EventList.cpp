// SPDX-License-Identifier: GPL-3.0-or-later
#include "trend/core/EventList.h"

#include "link/ByteReader.h"
#include "link/OpCode.h"

#include <QStringList>
#include <algorithm>

namespace kvt::trend {

namespace {

QString number(double value, fmt::Separators s) {
    return fmt::general(value, 7, 0, s);
}

QString bitsText(quint8 mask, std::initializer_list<const char*> names) {
    QStringList parts;
    int bit = 0;
    for (const char* name : names)
        parts << QStringLiteral("%1 %2").arg(QLatin1String(name)).arg((mask >> bit++) & 1);
    return parts.join(QStringLiteral(", "));
}

} // namespace

bool isMarkedCommand(const QByteArray& command) {
    if (command.isEmpty())
        return false;
    switch (quint8(command[0])) {
    case op::ProgramRunState:
    case op::LiveStatus:
    case op::Configuration:
    case op::Identity:
    case op::ProgramReadLength:
    case op::ProgramReadNext:
    case op::ReadRegisters:
    case op::ProgramRecord:
        return false;
    default:
        return !commandName(quint8(command[0])).isEmpty();
    }
}

QString commandName(quint8 code) {
    switch (code) {
    case op::GoTo:
        return QStringLiteral("go to");
    case op::RunAtSpeed:
        return QStringLiteral("run at speed");
    case op::MoveBy:
        return QStringLiteral("move by");
    case op::SetOutputs:
        return QStringLiteral("outputs");
    case op::SimulateInputs:
        return QStringLiteral("inputs");
    case op::DriveOn:
        return QStringLiteral("drive on");
    case op::DriveOff:
        return QStringLiteral("drive off");
    case op::Stop:
        return QStringLiteral("stop");
    case op::Home:
        return QStringLiteral("home");
    case op::ZeroPosition:
        return QStringLiteral("zero position");
    case op::SetMotionParams:
        return QStringLiteral("motion parameters");
    case op::FactoryReset:
        return QStringLiteral("factory settings");
    case op::SetModbusLink:
        return QStringLiteral("modbus settings");
    case op::WriteConfiguration:
        return QStringLiteral("configuration saved");
    case op::ProgramStart:
        return QStringLiteral("program start");
    case op::ProgramPause:
        return QStringLiteral("program pause");
    case op::ProgramBegin:
        return QStringLiteral("program send");
    case op::SetRegister:
        return QStringLiteral("register set");
    case op::SaveRegisters:
        return QStringLiteral("registers saved");
    case op::ModbusPreview:
        return QStringLiteral("modbus preview");
    case op::EncoderTest:
        return QStringLiteral("encoder test");
    case op::ProgramRunState:
        return QStringLiteral("program state");
    case op::LiveStatus:
        return QStringLiteral("live status");
    case op::Configuration:
        return QStringLiteral("read configuration");
    case op::Identity:
        return QStringLiteral("read identity");
    case op::ProgramReadLength:
    case op::ProgramReadNext:
        return QStringLiteral("program read");
    case op::ReadRegisters:
        return QStringLiteral("read registers");
    case op::ProgramRecord:
        return QStringLiteral("program record");
    default:
        return {};
    }
}

QString commandArguments(const QByteArray& command, fmt::Separators s) {
    if (command.isEmpty())
        return {};
    const ByteReader in(command);
    switch (quint8(command[0])) {
    case op::GoTo:
    case op::RunAtSpeed:
    case op::MoveBy:
    case op::Home:
        return number(in.f32le(1), s);
    case op::SetOutputs:
        return bitsText(in.u8(1), {"Out1", "Out2"});
    case op::SimulateInputs:
        return bitsText(in.u8(1), {"Run", "Stop", "In1", "In2", "Home1", "Home2"});
    case op::SetMotionParams:
        return QStringLiteral("v %1, a %2").arg(number(in.f32le(5), s), number(in.f32le(9), s));
    case op::SetModbusLink:
        return QStringLiteral("address %1, rate %2").arg(in.u8(1)).arg(in.u8(2));
    case op::ModbusPreview:
        return QString::number(in.u8(1));
    default:
        return {};
    }
}

QString eventText(const Event& event) {
    switch (event.kind) {
    case Event::Kind::Command: {
        QString name = commandName(event.code);
        if (name.isEmpty())
            name = QStringLiteral("command %1").arg(event.code);
        const QString arguments = commandArguments(event.command, fmt::Separators{});
        return arguments.isEmpty() ? name : name + QLatin1Char(' ') + arguments;
    }
    case Event::Kind::Disconnected:
        return QStringLiteral("disconnected");
    case Event::Kind::Connected:
        return QStringLiteral("connected");
    case Event::Kind::Note:
        break;
    }
    return event.note;
}

void EventList::append(const Event& event) {
    Event e = event;
    if (!events_.empty())
        e.timeNs = std::max(e.timeNs, events_.back().timeNs);
    events_.push_back(std::move(e));
    while (qsizetype(events_.size()) > capacity_)
        events_.pop_front();
}

void EventList::dropBefore(qint64 timeNs) {
    while (!events_.empty() && events_.front().timeNs < timeNs)
        events_.pop_front();
}

qsizetype EventList::lowerBound(qint64 timeNs) const {
    return std::partition_point(events_.begin(), events_.end(),
                                [&](const Event& e) { return e.timeNs < timeNs; }) -
           events_.begin();
}

qsizetype EventList::upperBound(qint64 timeNs) const {
    return std::partition_point(events_.begin(), events_.end(),
                                [&](const Event& e) { return e.timeNs <= timeNs; }) -
           events_.begin();
}

} // namespace kvt::trend
