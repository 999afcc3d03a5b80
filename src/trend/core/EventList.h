// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "format/core/NumberFormat.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <deque>
#include <optional>

namespace kvt::trend {

// Something that happened during a run, marked on the time axis and written to recordings.
struct Event {
    enum class Kind {
        Command,      // a command the application sent to the controller
        Disconnected, // the controller went away (unplugged)
        Connected,    // a controller is connected (again)
        Note,         // anything else worth a mark (the unit changed, ...)
    };

    qint64 timeNs = 0; // monotonic, from the run's start, like the samples
    Kind kind = Kind::Note;
    quint8 code = 0;    // the operation code of a command
    QByteArray command; // the command as sent (operation code first)
    QString note;       // text of a note
};

// The operation codes a trend marks: commands that change what the controller does or stores.
// Requests for readings (polls, configuration and program read-back, registers) and the records
// of a program transfer are left out: they change nothing and would drown the marks.
bool isMarkedCommand(const QByteArray& command);

// A command's stable English name: "drive on", "go to", "stop". Empty for an unknown code.
QString commandName(quint8 code);

// What a command carries, written with `separators`: "10" for a move, "Out1 1, Out2 0" for the
// outputs, "v 10, a 20" for the motion parameters; empty for commands without arguments.
QString commandArguments(const QByteArray& command, fmt::Separators separators);

// An event as one line of text, in English with a '.' decimal point: "go to 10", "disconnected".
QString eventText(const Event& event);

// The events of a run, oldest first, times never going backwards, with a bound on their number.
class EventList {
public:
    static constexpr qsizetype DefaultCapacity = 100000;

    explicit EventList(qsizetype capacity = DefaultCapacity) : capacity_(std::max<qsizetype>(capacity, 1)) {}

    void append(const Event& event);
    void clear() { events_.clear(); }
    // Drops the events before `timeNs` (they belong to samples that were dropped).
    void dropBefore(qint64 timeNs);

    qsizetype size() const { return qsizetype(events_.size()); }
    bool isEmpty() const { return events_.empty(); }
    const Event& at(qsizetype index) const { return events_[size_t(index)]; }

    // The first event at or after `timeNs`, and the first after it.
    qsizetype lowerBound(qint64 timeNs) const;
    qsizetype upperBound(qint64 timeNs) const;

private:
    std::deque<Event> events_;
    qsizetype capacity_;
};

} // namespace kvt::trend
