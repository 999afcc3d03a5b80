// SPDX-License-Identifier: GPL-3.0-or-later
#include "trend/TrendWindow.h"

#include "assist/DialogService.h"
#include "link/OpCode.h"
#include "link/Transport.h"
#include "shell/AppContext.h"
#include "shell/AppState.h"
#include "shell/Poller.h"
#include "trend/ChannelStyle.h"
#include "trend/TrendChart.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QSettings>
#include <QTimer>
#include <QVBoxLayout>

namespace kvt::trend {

namespace {

QSettings settings() {
    return QSettings(QStringLiteral("kvt-revizareduva"), QStringLiteral("trend"));
}

QPushButton* button(const char* name, QWidget* parent) {
    auto* b = new QPushButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

QIcon swatch(const QColor& color) {
    QPixmap pixmap(12, 12);
    pixmap.fill(color);
    return QIcon(pixmap);
}

} // namespace

TrendWindow::TrendWindow(AppContext& context, Poller& poller, QWidget* parent)
    : QWidget(parent, Qt::Window), context_(context), poller_(&poller) {
    setObjectName(QStringLiteral("TFormTrend"));
    buildControls();
    chart_->setEventLabel([this](const Event& e) { return markLabel(e); });

    refreshTimer_ = new QTimer(this);
    refreshTimer_->setInterval(RefreshMs);
    connect(refreshTimer_, &QTimer::timeout, this, &TrendWindow::refreshIfChanged);
    // Recorded rows reach the file at least every half second, also when no sample arrives.
    flushTimer_ = new QTimer(this);
    flushTimer_->setInterval(500);
    connect(flushTimer_, &QTimer::timeout, this, [this] {
        if (!run_.flushRecording())
            recordingFailed();
    });

    context_.link->subscribe(op::LiveStatus, this,
                             [this](const Response& r) { takeStatus(control::decodeLiveStatus(r.data)); });
    connect(context_.link, &Transport::commandSent, this, &TrendWindow::takeCommand);
    connect(context_.state, &AppState::connectedChanged, this, &TrendWindow::takeConnection);
    connect(context_.state, &AppState::unitApplied, this, &TrendWindow::takeUnit);
    lastUnit_ = unitText();

    restoreSettings();
    retranslate();
}

TrendView* TrendWindow::create(AppContext& context, Poller& poller, QWidget* parent) {
    return new TrendWindow(context, poller, parent);
}

TrendWindow::~TrendWindow() {
    // The program ends: the poll goes back to its own (if it is still there) and the recording
    // is closed with what it has, without a box.
    if (sampling_ && poller_)
        poller_->clearOverride();
    run_.stopRecording();
}

void TrendWindow::buildControls() {
    resize(960, 600);
    auto* column = new QVBoxLayout(this);
    auto* bar = new QHBoxLayout;
    column->addLayout(bar);
    btn_TrendRecord = button("btn_TrendRecord", this);
    btn_TrendPause = button("btn_TrendPause", this);
    btn_TrendBack = button("btn_TrendBack", this);
    btn_TrendClear = button("btn_TrendClear", this);
    Label_TrendPeriod = new QLabel(this);
    Label_TrendPeriod->setObjectName(QStringLiteral("Label_TrendPeriod"));
    ComboBox_TrendPeriod = new QComboBox(this);
    ComboBox_TrendPeriod->setObjectName(QStringLiteral("ComboBox_TrendPeriod"));
    for (int ms : PeriodsMs)
        ComboBox_TrendPeriod->addItem(QStringLiteral("%1 ms").arg(ms));
    Label_TrendSpan = new QLabel(this);
    Label_TrendSpan->setObjectName(QStringLiteral("Label_TrendSpan"));
    ComboBox_TrendSpan = new QComboBox(this);
    ComboBox_TrendSpan->setObjectName(QStringLiteral("ComboBox_TrendSpan"));
    ComboBox_TrendSpan->addItems(
        {QStringLiteral("10 s"), QStringLiteral("1 min"), QStringLiteral("10 min"), QString()});
    btn_TrendPng = button("btn_TrendPng", this);
    btn_TrendCsv = button("btn_TrendCsv", this);
    for (QWidget* w : std::initializer_list<QWidget*>{btn_TrendRecord, btn_TrendPause, btn_TrendBack,
                                                      btn_TrendClear, Label_TrendPeriod, ComboBox_TrendPeriod,
                                                      Label_TrendSpan, ComboBox_TrendSpan})
        bar->addWidget(w);
    bar->addStretch(1);

    auto* middle = new QHBoxLayout;
    column->addLayout(middle, 1);
    chart_ = new TrendChart(this);
    middle->addWidget(chart_, 1);
    auto* channels = new QVBoxLayout;
    middle->addLayout(channels);
    for (int c = 0; c < ChannelCount; ++c) {
        auto* box = new QCheckBox(this);
        box->setObjectName(QStringLiteral("cb_Trend_") + channelId(channelAt(c)));
        box->setIcon(swatch(styleOf(channelAt(c)).color));
        connect(box, &QCheckBox::clicked, this, [this, c] { chooseChannel(c); });
        channels->addWidget(box);
        cb_TrendChannel[size_t(c)] = box;
    }
    channels->addStretch(1);
    channels->addWidget(btn_TrendPng);
    channels->addWidget(btn_TrendCsv);

    Label_TrendCursor = new QLabel(this);
    Label_TrendCursor->setObjectName(QStringLiteral("Label_TrendCursor"));
    Label_TrendCursor->setWordWrap(true);
    Label_TrendCursor->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Texts that change with every sample must not lay the window out again each time.
    Label_TrendCursor->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    column->addWidget(Label_TrendCursor);
    Label_TrendStatus = new QLabel(this);
    Label_TrendStatus->setObjectName(QStringLiteral("Label_TrendStatus"));
    Label_TrendStatus->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    column->addWidget(Label_TrendStatus);

    connect(btn_TrendRecord, &QPushButton::clicked, this, &TrendWindow::toggleRecording);
    connect(btn_TrendPause, &QPushButton::clicked, this, &TrendWindow::togglePause);
    connect(btn_TrendBack, &QPushButton::clicked, this, &TrendWindow::zoomBack);
    connect(btn_TrendClear, &QPushButton::clicked, this, &TrendWindow::clearRun);
    connect(btn_TrendPng, &QPushButton::clicked, this, &TrendWindow::exportPng);
    connect(btn_TrendCsv, &QPushButton::clicked, this, &TrendWindow::exportCsv);
    connect(ComboBox_TrendPeriod, &QComboBox::activated, this, &TrendWindow::choosePeriod);
    connect(ComboBox_TrendSpan, &QComboBox::activated, this, &TrendWindow::chooseSpan);
    connect(chart_, &TrendChart::zoomRequested, this, &TrendWindow::zoomTo);
    connect(chart_, &TrendChart::backRequested, this, &TrendWindow::zoomBack);
    connect(chart_, &TrendChart::cursorMoved, this, &TrendWindow::showCursorReading);
}

QString TrendWindow::text(const char* key) const {
    return context_.text(QString::fromLatin1(key));
}

void TrendWindow::retranslate() {
    setWindowTitle(text("TREND_TITLE"));
    btn_TrendRecord->setText(text(run_.recorder().isRecording() ? "TREND_RECORD_STOP" : "TREND_RECORD"));
    btn_TrendPause->setText(text(view_.isPaused() ? "TREND_RESUME" : "TREND_PAUSE"));
    btn_TrendBack->setText(text("TREND_BACK"));
    btn_TrendClear->setText(text("TREND_CLEAR"));
    btn_TrendPng->setText(text("TREND_PNG"));
    btn_TrendCsv->setText(text("TREND_CSV"));
    Label_TrendPeriod->setText(text("TREND_PERIOD"));
    Label_TrendSpan->setText(text("TREND_SPAN"));
    ComboBox_TrendSpan->setItemText(3, text("TREND_WHOLE_RUN"));
    for (int c = 0; c < ChannelCount; ++c) {
        const ChannelStyle& style = styleOf(channelAt(c));
        const QString name = style.textKey ? text(style.textKey) : QString::fromLatin1(style.fixedName);
        cb_TrendChannel[size_t(c)]->setText(name);
    }
    updateAxisTitles();
    showCursorReading();
    showStatus();
    refresh();
}

void TrendWindow::updateAxisTitles() {
    const QString unit = unitText();
    chart_->setAxisTitles(text("TREND_AXIS_TIME"), text("TREND_AXIS_POSITION").arg(unit),
                          text("TREND_AXIS_SPEED").arg(unit));
}

QString TrendWindow::unitText() const {
    const QString& unit = context_.state->unit();
    return unit.isEmpty() ? QStringLiteral("obr.") : unit;
}

void TrendWindow::restoreSettings() {
    QSettings s = settings();
    restoreGeometry(s.value(QStringLiteral("geometry")).toByteArray());
    ComboBox_TrendPeriod->setCurrentIndex(
        std::clamp(s.value(QStringLiteral("period"), 0).toInt(), 0, int(PeriodsMs.size()) - 1));
    ComboBox_TrendSpan->setCurrentIndex(std::clamp(s.value(QStringLiteral("span"), 0).toInt(), 0, 3));
    view_.setSpan(Viewport::Span(ComboBox_TrendSpan->currentIndex()));
    const QVariant shown = s.value(QStringLiteral("channels"));
    for (int c = 0; c < ChannelCount; ++c) {
        const Channel channel = channelAt(c);
        const bool on = shown.isValid() ? shown.toStringList().contains(channelId(channel))
                                        : styleOf(channel).shownByDefault;
        cb_TrendChannel[size_t(c)]->setChecked(on);
        chart_->setChannelVisible(channel, on);
    }
}

void TrendWindow::saveSettings() const {
    QSettings s = settings();
    s.setValue(QStringLiteral("geometry"), saveGeometry());
    s.setValue(QStringLiteral("period"), ComboBox_TrendPeriod->currentIndex());
    s.setValue(QStringLiteral("span"), ComboBox_TrendSpan->currentIndex());
    QStringList shown;
    for (int c = 0; c < ChannelCount; ++c)
        if (chart_->isChannelVisible(channelAt(c)))
            shown << channelId(channelAt(c));
    s.setValue(QStringLiteral("channels"), shown);
}

int TrendWindow::periodMs() const {
    return PeriodsMs[size_t(std::clamp(ComboBox_TrendPeriod->currentIndex(), 0, int(PeriodsMs.size()) - 1))];
}

void TrendWindow::open() {
    show();
    raise();
    activateWindow();
    if (!sampling_)
        startSampling();
}

void TrendWindow::closeEvent(QCloseEvent* event) {
    if (!run_.recorder().isRecording()) {
        saveSettings();
        stopSampling();
        event->accept();
        return;
    }
    // Closing ends the sampling, and with it the recording: the user says so first.
    event->ignore();
    context_.dialogs->message(this, DialogService::Icon::Question, text("TREND_CLOSE_RECORDING"),
                              text("TREND_TITLE"), DialogService::Buttons::OkCancel, [this](bool ok) {
                                  if (!ok)
                                      return;
                                  stopRecording();
                                  close();
                              });
}

// --- The controls ---

void TrendWindow::choosePeriod() {
    if (sampling_ && poller_)
        poller_->setOverride(op::LiveStatus, periodMs());
    saveSettings();
}

void TrendWindow::chooseSpan() {
    view_.setSpan(Viewport::Span(ComboBox_TrendSpan->currentIndex()));
    // A new span shows the live view again.
    view_.resume();
    btn_TrendPause->setText(text("TREND_PAUSE"));
    saveSettings();
    refresh();
}

void TrendWindow::togglePause() {
    if (view_.isPaused())
        view_.resume();
    else
        view_.pause(chart_->shownRange());
    btn_TrendPause->setText(text(view_.isPaused() ? "TREND_RESUME" : "TREND_PAUSE"));
    refresh();
}

void TrendWindow::zoomTo(const TimeRange& range) {
    view_.zoomTo(range);
    refresh();
}

void TrendWindow::zoomBack() {
    if (view_.back())
        refresh();
}

void TrendWindow::clearRun() {
    // The recording's time column counts on the run's clock: no new run while it is written.
    if (run_.recorder().isRecording())
        return;
    run_.restart();
    view_.resume();
    chart_->setCursorTime(std::nullopt);
    btn_TrendPause->setText(text("TREND_PAUSE"));
    refresh();
}

void TrendWindow::chooseChannel(int channel) {
    chart_->setChannelVisible(channelAt(channel), cb_TrendChannel[size_t(channel)]->isChecked());
    saveSettings();
    refresh();
}

} // namespace kvt::trend
