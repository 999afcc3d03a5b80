// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "trend/TrendView.h"
#include "trend/core/Run.h"
#include "trend/core/Viewport.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>
#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTimer;

namespace kvt {

struct AppContext;
class Poller;

namespace trend {

class TrendChart;

// The trend window ("TFormTrend"): plots the live status over time and records it to a file.
// While it is open the poll asks for the live status at the chosen period whatever page is
// shown; once it is closed the poll is what it was. Samples, command marks and connection events
// are kept for the whole run (up to a bound) while the window is open, and stay when it is
// closed and opened again. The program reaches it through TrendView only.
class TrendWindow : public QWidget, public TrendView {
    Q_OBJECT
public:
    TrendWindow(AppContext& context, Poller& poller, QWidget* parent = nullptr);
    ~TrendWindow() override;
    // The window's maker (trend::CreateView), for the module's entry and for programs that link
    // the window in.
    static TrendView* create(AppContext& context, Poller& poller, QWidget* parent);

    QWidget* widget() override { return this; }
    // Shows the window (raising it when it is already open) and starts sampling.
    void open() override;
    bool isSampling() const override { return sampling_; }
    // Rebuilds every text after a language switch.
    void retranslate() override;
    const Run& run() const override { return run_; }
    QString lastRecordingPath() const override { return lastRecordingPath_; }

    // Draws the view now (while data arrives it is otherwise redrawn as it moves, see
    // refreshIfChanged()).
    void refresh();
    static constexpr int RefreshMs = 200;
    static constexpr int MaxRefreshMs = 2000;
    // Sampling periods on offer, in milliseconds.
    static constexpr std::array<int, 3> PeriodsMs{200, 100, 50};
    int periodMs() const;

    Run& run() { return run_; }
    TrendChart* chart() const { return chart_; }
    const Viewport& view() const { return view_; }
    // The position unit the window shows (the Configuration page's unit selection).
    QString unitText() const;

    // The window's controls, by their object names.
    QPushButton* btn_TrendRecord;
    QPushButton* btn_TrendPause;
    QPushButton* btn_TrendBack;
    QPushButton* btn_TrendClear;
    QPushButton* btn_TrendPng;
    QPushButton* btn_TrendCsv;
    QLabel* Label_TrendPeriod;
    QComboBox* ComboBox_TrendPeriod;
    QLabel* Label_TrendSpan;
    QComboBox* ComboBox_TrendSpan;
    std::array<QCheckBox*, 16> cb_TrendChannel{}; // one per channel, in channel order
    QLabel* Label_TrendCursor;
    QLabel* Label_TrendStatus;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void restoreSettings();
    void saveSettings() const;
    QString text(const char* key) const;

    // Sampling (TrendSampling.cpp).
    void startSampling();
    void stopSampling();
    void takeStatus(const control::LiveStatus& status);
    void takeCommand(const QByteArray& command);
    void takeConnection(bool connected);
    void takeUnit();
    void addEvent(const Event& event);
    void refreshIfChanged();
    void showCursorReading();
    void showStatus();
    QString markLabel(const Event& event) const;
    void updateAxisTitles();

    // Acting on the controls.
    void choosePeriod();
    void chooseSpan();
    void togglePause();
    void zoomBack();
    void zoomTo(const TimeRange& range);
    void clearRun();
    void chooseChannel(int channel);

    // Files (TrendFiles.cpp).
    void toggleRecording();
    void startRecording(const QString& path);
    void stopRecording();
    void recordingFailed();
    void exportPng();
    void exportCsv();
    void showFileError(const QString& path, const QString& why);

    AppContext& context_;
    QPointer<Poller> poller_;
    Run run_;
    Viewport view_;
    TrendChart* chart_ = nullptr;
    QTimer* refreshTimer_ = nullptr;
    QTimer* flushTimer_ = nullptr;
    bool sampling_ = false;
    bool changed_ = false;
    QElapsedTimer lastDraw_;
    QString lastUnit_;
    QString lastRecordingPath_;
};

} // namespace trend
} // namespace kvt
