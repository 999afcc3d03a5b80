// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "config/core/ConfigRecord.h"
#include "control/core/LiveStatus.h"
#include "link/Model.h"
#include "program/core/ProgramStore.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <optional>

// The commissioning report: what was read from one controller and what the technician added,
// kept apart from how it is shown (PDF, HTML) or archived (JSON).
namespace kvt::report {

enum class Language { Polish, English };

// The parts of the report a technician may leave out. The identity, the date and the free text
// are always there.
struct Sections {
    bool configuration = true;
    bool modbus = true;
    bool status = true;
    bool program = true;
    bool encoder = true;
    bool trend = true;
};

// The stored program: its length, a SHA-256 of its records (each of the `length` records' ten
// bytes, in order) and the first and last lines of its listing.
struct ProgramSummary {
    quint32 length = 0;
    QByteArray sha256; // raw digest, 32 bytes
    QString firstLine;
    QString lastLine;
};

// The last encoder test: the count of one revolution, the controller's wiring verdict byte, and
// the count expected from the stored encoder settings (none when it cannot be judged).
struct EncoderSummary {
    qint32 measured = 0;
    quint8 wiring = 0;
    std::optional<qint32> expected;
    qint32 tolerance = 0;
    bool passed = false;
};

// The trend window's last recording: position and speed over time (seconds from its start) and
// the commands marked on it.
struct TrendPoint {
    double timeS = 0;
    double position = 0;
    double speed = 0;
};
struct TrendMark {
    double timeS = 0;
    QString name; // the command's English name ("go to", "stop")
};
struct TrendSummary {
    QList<TrendPoint> points;
    QList<TrendMark> marks;
};

struct ReportData {
    // What the technician added.
    QString operatorName;
    QString site;
    QString notes;
    Sections sections;

    // Where and when the report was made.
    QString programVersion;
    QDateTime createdAt;

    // What the controller holds.
    std::optional<Model> model;
    QString devicePath;
    QString serialNumber;
    float firmware = 0;
    QByteArray deviceText; // 8-bit text as received (identity 100)
    std::optional<config::ConfigReport> configuration;
    std::optional<control::LiveStatus> status;
    std::optional<ProgramSummary> program;
    std::optional<EncoderSummary> encoder;
    std::optional<TrendSummary> trend;
};

// One field of the configuration record: its name as the configuration file and kvtctl name it,
// and its value as the controller holds it (floats as the singles it stores).
struct ConfigValue {
    QString name;
    double value = 0;
    bool isFloat = false;
};
QList<ConfigValue> configValues(const config::ConfigReport& report);

// A value written without losing anything: a float as the shortest text that reads back as the
// same single, an integer as it is; with a decimal comma for Polish.
QString exactText(const ConfigValue& value, Language language);
QString exactFloatText(float value, Language language);

// The device text as shown: 8-bit characters, trailing blanks and zeros dropped.
QString deviceTextOf(const QByteArray& deviceText);

// The unit text of the configured unit code ("obr.", "mm", "cm", "m"); the code itself when the
// selector has no such entry.
QString unitText(int unitCode);

// The Modbus link of the configuration record: address and baud rate in bits per second; none
// for codes the RS485 page would not show.
struct ModbusSummary {
    int address = 0;
    int baudRate = 0;
};
std::optional<ModbusSummary> modbusSummary(const config::ConfigReport& report);

// The summary of a program read back from the controller.
ProgramSummary summarizeProgram(const program::ProgramStore& store);

// The whole report as one JSON document for archives; values are numbers as held, never texts
// shaped by a language.
QJsonObject reportJson(const ReportData& data);

} // namespace kvt::report

namespace kvt::encoder {
struct EncoderResult;
}
namespace kvt::trend {
class Run;
}

namespace kvt::report {

// The encoder test's result judged against the encoder the controller has stored.
EncoderSummary summarizeEncoder(const encoder::EncoderResult& result, const config::ConfigReport& stored);

// The run's position and speed, thinned evenly to at most `maxPoints` points, and its command
// marks; none for a run without samples.
std::optional<TrendSummary> summarizeTrend(const trend::Run& run, int maxPoints = 2000);

} // namespace kvt::report
