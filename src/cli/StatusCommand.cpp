// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/StatusCommand.h"

#include "cli/ConfigComparison.h"
#include "cli/DeviceChoice.h"
#include "cli/Options.h"
#include "cli/Words.h"
#include "config/core/ConfigRecord.h"
#include "format/core/FloatText.h"
#include "link/HidDevice.h"
#include "link/OpCode.h"

#include <QDateTime>
#include <QJsonArray>

namespace kvt::cli {

namespace {

constexpr int DefaultWatchPeriodMs = 500;

// A signal's stable key is its bit position ("bit2"); the model's label ("In1" on a KVT318,
// "EncA" on a KVT317) stands beside it, so a script reads the same key whatever the model.
QString signalKey(int bit) {
    return QStringLiteral("bit%1").arg(bit);
}

QString activeNames(quint8 bits, const QStringList& labels) {
    QStringList active;
    for (int i = 0; i < labels.size(); ++i) {
        if (bits & (1 << i))
            active.append(signalKey(i) + QLatin1Char(':') + labels[i]);
    }
    return active.isEmpty() ? QStringLiteral("-") : active.join(QLatin1Char(','));
}

QString ioText(quint8 bits, const QStringList& labels, const Texts& tr) {
    QStringList parts;
    for (int i = 0; i < labels.size(); ++i)
        parts.append(signalKey(i) + QLatin1Char(' ') + labels[i] + QLatin1Char(' ') +
                     onOff(bits & (1 << i), tr));
    return parts.join(QStringLiteral(", "));
}

QJsonObject ioJson(quint8 bits, const QStringList& labels) {
    QJsonObject entries;
    for (int i = 0; i < labels.size(); ++i)
        entries.insert(signalKey(i), QJsonObject{{QStringLiteral("label"), labels[i]},
                                                 {QStringLiteral("on"), bool(bits & (1 << i))}});
    return entries;
}

const QStringList OutputLabels = {QStringLiteral("Out1"), QStringLiteral("Out2")};

} // namespace

QStringList statusLines(const control::LiveStatus& s, const StatusView& v, const Texts& tr) {
    const fmt::Separators sep = fmt::Separators::current();
    const QString unit = unitText(v.units, tr);
    const control::LiveStatusView shown = control::viewOf(s, v.decimals, unit, sep);
    const int celsius = control::temperatureCelsius(s.temperatureRaw);
    QList<QStringList> rows = {
        {tr("position", "pozycja"), shown.position + QLatin1Char(' ') + unit},
        {tr("speed", "prędkość"), shown.speed + QLatin1Char(' ') + unit + QStringLiteral("/s")},
        {tr("destination", "pozycja docelowa"), shown.destination + QLatin1Char(' ') + unit},
        {tr("motor", "napęd"),
         QStringLiteral("%1 (%2)").arg(motorStateText(s.motorState, tr)).arg(s.motorState)},
        {tr("inputs", "wejścia"), ioText(s.inputMask(), inputNames(v.model), tr)},
        {tr("outputs", "wyjścia"), ioText(s.outputMask(), OutputLabels, tr)},
        {tr("temperature", "temperatura"),
         QStringLiteral("%1 °C%2").arg(celsius).arg(
             control::temperatureHigh(celsius) ? tr(" (hot)", " (wysoka)") : QString())},
        {tr("supply", "zasilanie"),
         fmt::fixed(s.supplyMv * 0.001, 3, 1, sep) + QStringLiteral(" V") +
             (control::supplyOutOfRange(s.supplyMv) ? tr(" (outside 12-36 V)", " (poza 12-36 V)")
                                                    : QString())},
        {tr("analog input", "wejście analogowe"),
         fmt::fixed(s.analogMv * 0.001, 3, 1, sep) + QStringLiteral(" V")},
        {tr("encoder", "enkoder"), tr("%1 pulses", "%1 imp.").arg(s.encoderCount)},
        {tr("move time", "czas ruchu"), fmt::grouped(s.moveTime, 4, 2, sep) + QStringLiteral(" s")},
        {tr("acceleration", "rozpędzanie"),
         tr("%1 s over %2", "%1 s na drodze %2")
             .arg(fmt::grouped(s.accTime, 4, 2, sep),
                  control::positionText(s.accDistance, v.decimals, sep) + QLatin1Char(' ') + unit)},
    };
    for (QStringList& row : rows)
        row[0] += QLatin1Char(':');
    return alignColumns(rows);
}

QString statusLine(const control::LiveStatus& s, const StatusView& v, const Texts& tr) {
    const fmt::Separators sep = fmt::Separators::current();
    const QString unit = unitText(v.units, tr);
    return tr("%1  pos %2 %3  speed %4 %3/s  motor %5  in %6  out %7  %8 °C  %9 V",
              "%1  poz. %2 %3  prędk. %4 %3/s  napęd %5  we %6  wy %7  %8 °C  %9 V")
        .arg(QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz")),
             control::positionText(s.position, v.decimals, sep), unit,
             control::positionText(s.speed, v.decimals, sep), motorStateText(s.motorState, tr),
             activeNames(s.inputMask(), inputNames(v.model)), activeNames(s.outputMask(), OutputLabels))
        .arg(control::temperatureCelsius(s.temperatureRaw))
        .arg(fmt::fixed(s.supplyMv * 0.001, 3, 1, sep));
}

QJsonObject statusJson(const control::LiveStatus& s, const StatusView& v) {
    return {
        {QStringLiteral("time"), QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs)},
        {QStringLiteral("units"), v.units},
        {QStringLiteral("position"), fmt::floatJson(s.position)},
        {QStringLiteral("speed"), fmt::floatJson(s.speed)},
        {QStringLiteral("destination"), fmt::floatJson(s.destination)},
        {QStringLiteral("motorState"), int(s.motorState)},
        {QStringLiteral("inputs"), ioJson(s.inputMask(), inputNames(v.model))},
        {QStringLiteral("outputs"), ioJson(s.outputMask(), OutputLabels)},
        {QStringLiteral("temperature"), control::temperatureCelsius(s.temperatureRaw)},
        {QStringLiteral("supplyMv"), qint64(s.supplyMv)},
        {QStringLiteral("analogMv"), qint64(s.analogMv)},
        {QStringLiteral("encoderCount"), s.encoderCount},
        {QStringLiteral("moveTime"), fmt::floatJson(s.moveTime)},
        {QStringLiteral("accTime"), fmt::floatJson(s.accTime)},
        {QStringLiteral("accDistance"), fmt::floatJson(s.accDistance)},
    };
}

void readStatusView(ControllerLink& link, Model model, const Texts& tr,
                    std::function<void(const StatusView&)> then) {
    link.request(config::readConfigCommand(), op::Configuration,
                 tr("reading the configuration (99)", "odczytu konfiguracji (99)"),
                 [model, then = std::move(then)](const Response& r) {
                     const config::ConfigReport report = config::decodeConfigReport(r.data);
                     StatusView v;
                     v.model = model;
                     v.units = report.Units >= 0 && report.Units <= 3 ? report.Units : 0;
                     v.decimals = defaultDecimals(model);
                     then(v);
                 });
}

void readStatus(ControllerLink& link, const Texts& tr, std::function<void(const control::LiveStatus&)> then) {
    link.request(QByteArray(1, char(op::LiveStatus)), op::LiveStatus,
                 tr("reading the live status (97)", "odczytu stanu (97)"),
                 [then = std::move(then)](const Response& r) { then(control::decodeLiveStatus(r.data)); });
}

StatusCommand::StatusCommand(Session& session, ArgReader& args) : Command(session) {
    const std::optional<QString> period =
        args.optionalValue({QStringLiteral("--watch"), QStringLiteral("-w")}, &watch_);
    if (period) {
        const std::optional<int> ms = parseDuration(*period);
        if (!ms)
            args.setError(tr_("--watch takes a period such as 500ms or 2s",
                              "--watch przyjmuje okres, np. 500ms lub 2s"));
        else
            periodMs_ = *ms;
    } else {
        periodMs_ = DefaultWatchPeriodMs;
    }
    if (!args.positionals().isEmpty())
        args.setError(tr_("status takes no arguments", "status nie przyjmuje argumentów"));
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &StatusCommand::sample);
}

void StatusCommand::start(ControllerLink* link, std::optional<Model> model) {
    link_ = link;
    readStatusView(*link, *model, tr_, [this](const StatusView& view) {
        view_ = view;
        if (!watch_)
            out().line(deviceLabel(link_->device()->info()));
        sample();
    });
}

void StatusCommand::sample() {
    readStatus(*link_, tr_, [this](const control::LiveStatus& status) {
        QJsonObject o = statusJson(status, view_);
        if (!watch_) {
            for (const QString& line : statusLines(status, view_, tr_))
                out().line(line);
            o.insert(QStringLiteral("device"), deviceJson(link_->device()->info()));
            succeed(o);
            return;
        }
        out().line(statusLine(status, view_, tr_));
        report(o);
        timer_.start(periodMs_);
    });
}

void StatusCommand::interrupt() {
    if (watch_)
        session_.finish(Exit::Ok); // watching ends by being interrupted; each sample had its document
    else
        Command::interrupt();
}

} // namespace kvt::cli
