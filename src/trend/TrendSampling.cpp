// SPDX-License-Identifier: GPL-3.0-or-later
// The trend window while it samples: what arrives and what is sent becomes samples and marks,
// and the view follows.
#include "control/core/LiveStatus.h"
#include "format/core/NumberFormat.h"
#include "link/OpCode.h"
#include "shell/AppContext.h"
#include "shell/AppState.h"
#include "shell/Poller.h"
#include "trend/ChannelStyle.h"
#include "trend/TrendChart.h"
#include "trend/TrendWindow.h"
#include "trend/core/Decimation.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <limits>

namespace kvt::trend {

void TrendWindow::startSampling() {
    sampling_ = true;
    if (poller_)
        poller_->setOverride(op::LiveStatus, periodMs());
    refreshTimer_->start();
    flushTimer_->start();
}

void TrendWindow::stopSampling() {
    sampling_ = false;
    if (poller_)
        poller_->clearOverride();
    refreshTimer_->stop();
    flushTimer_->stop();
    if (run_.recorder().isRecording())
        stopRecording();
}

void TrendWindow::takeStatus(const control::LiveStatus& status) {
    if (!sampling_)
        return;
    const bool recordingBefore = run_.recorder().isRecording();
    if (!run_.addStatus(status, run_.now()) && recordingBefore)
        recordingFailed();
    changed_ = true;
}

void TrendWindow::takeCommand(const QByteArray& command) {
    if (sampling_ && isMarkedCommand(command))
        addEvent(Event{run_.now(), Event::Kind::Command, quint8(command[0]), command, {}});
}

void TrendWindow::takeConnection(bool connected) {
    if (sampling_)
        addEvent(
            Event{run_.now(), connected ? Event::Kind::Connected : Event::Kind::Disconnected, 0, {}, {}});
}

void TrendWindow::takeUnit() {
    const QString unit = unitText();
    if (unit == lastUnit_)
        return;
    lastUnit_ = unit;
    updateAxisTitles();
    if (sampling_)
        addEvent(Event{run_.now(), Event::Kind::Note, 0, {}, QStringLiteral("unit %1").arg(unit)});
}

void TrendWindow::addEvent(const Event& event) {
    const bool recordingBefore = run_.recorder().isRecording();
    if (!run_.addEvent(event) && recordingBefore)
        recordingFailed();
    changed_ = true;
}

void TrendWindow::refreshIfChanged() {
    if (!changed_)
        return;
    // A live view is drawn again once it has moved by about a pixel column (10 minutes on 800
    // columns: every 0.75 s), at most every RefreshMs and at least every MaxRefreshMs; a paused
    // or zoomed view stays as it is and only the counts move on.
    const TimeRange shown = chart_->shownRange();
    const qint64 perColumnMs = (shown.toNs - shown.fromNs) / 1'000'000 / std::max(chart_->width(), 1);
    if (view_.isLive() && lastDraw_.isValid() &&
        lastDraw_.elapsed() < std::clamp<qint64>(perColumnMs, RefreshMs, MaxRefreshMs))
        return;
    changed_ = false;
    if (view_.isLive())
        refresh();
    else
        showStatus();
}

void TrendWindow::refresh() {
    // The run spans its samples and its events (a command may come before the first answer).
    const SampleBuffer& samples = run_.samples();
    const EventList& events = run_.events();
    qint64 first = samples.isEmpty() ? std::numeric_limits<qint64>::max() : samples.at(0).timeNs;
    qint64 last = samples.isEmpty() ? 0 : samples.last().timeNs;
    if (!events.isEmpty()) {
        first = std::min(first, events.at(0).timeNs);
        last = std::max(last, events.at(events.size() - 1).timeNs);
    }
    if (first > last)
        first = last;
    chart_->draw(run_, view_.range(first, last));
    lastDraw_.start();
    btn_TrendBack->setEnabled(view_.isZoomed());
    showCursorReading();
    showStatus();
}

QString TrendWindow::markLabel(const Event& event) const {
    switch (event.kind) {
    case Event::Kind::Command: {
        QString name = context_.text(QStringLiteral("TREND_OP_%1").arg(event.code));
        if (name.isEmpty())
            name = commandName(event.code);
        const QString arguments = commandArguments(event.command, fmt::Separators::current());
        return arguments.isEmpty() ? name : name + QLatin1Char(' ') + arguments;
    }
    case Event::Kind::Disconnected:
        return text("TREND_EV_DISCONNECTED");
    case Event::Kind::Connected:
        return text("TREND_EV_CONNECTED");
    case Event::Kind::Note:
        break;
    }
    return event.note;
}

namespace {

QString reading(const control::LiveStatus& s, Channel channel, int decimals, const AppContext& context) {
    const double v = channelValue(s, channel);
    switch (channel) {
    case Channel::Position:
    case Channel::Speed:
    case Channel::Destination:
        return control::positionText(v, decimals, fmt::Separators::current());
    case Channel::MotorState:
        if (const auto look = control::motorStateLook(s.motorState))
            return QStringLiteral("%1 (%2)")
                .arg(s.motorState)
                .arg(look->textKey.isEmpty() ? look->fixedText : context.text(look->textKey));
        return QString::number(s.motorState);
    case Channel::Temperature:
    case Channel::EncoderCount:
        return QString::number(qint64(v));
    case Channel::SupplyVoltage:
    case Channel::AnalogInput:
        return fmt::fixed(v, 5, 3);
    default:
        return control::onOffText(v != 0);
    }
}

} // namespace

void TrendWindow::showCursorReading() {
    const std::optional<qint64> at = chart_->cursorTime();
    const SampleBuffer& samples = run_.samples();
    if (!at || samples.isEmpty()) {
        Label_TrendCursor->setText(text("TREND_CURSOR_HINT"));
        return;
    }
    // The reading at the cursor is the last sample that had arrived by then.
    const qsizetype index = std::max<qsizetype>(samples.upperBound(*at) - 1, 0);
    const control::LiveStatus& s = samples.at(index).status;
    QStringList parts{QStringLiteral("%1 %2 s").arg(text("TREND_CURSOR"), fmt::fixed(secondsOf(*at), 9, 3))};
    for (int c = 0; c < ChannelCount; ++c) {
        if (chart_->isChannelVisible(channelAt(c)))
            parts << QStringLiteral("%1: %2").arg(
                cb_TrendChannel[size_t(c)]->text(),
                reading(s, channelAt(c), context_.state->displayDecimals(), context_));
    }
    Label_TrendCursor->setText(parts.join(QStringLiteral(" | ")));
}

void TrendWindow::showStatus() {
    QString status = text("TREND_SAMPLES").arg(run_.samples().size());
    if (run_.recorder().isRecording())
        status += QStringLiteral("   ") + text("TREND_RECORDING").arg(run_.recorder().path());
    Label_TrendStatus->setText(status);
}

} // namespace kvt::trend
