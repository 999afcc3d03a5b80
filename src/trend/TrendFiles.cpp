// SPDX-License-Identifier: GPL-3.0-or-later
// The trend window's files: the recording, and the view saved as a picture or a table.
#include "assist/DialogService.h"
#include "format/core/AtomicFile.h"
#include "shell/AppContext.h"
#include "trend/TrendChart.h"
#include "trend/TrendWindow.h"
#include "trend/core/CsvExport.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QSettings>

namespace kvt::trend {

namespace {

QString lastFolder() {
    return QSettings(QStringLiteral("kvt-revizareduva"), QStringLiteral("trend"))
        .value(QStringLiteral("folder"), QDir::homePath())
        .toString();
}

void rememberFolder(const QString& path) {
    QSettings(QStringLiteral("kvt-revizareduva"), QStringLiteral("trend"))
        .setValue(QStringLiteral("folder"), QFileInfo(path).absolutePath());
}

QString stampedName(const char* extension) {
    return QStringLiteral("trend-%1.%2")
        .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")),
             QLatin1String(extension));
}

} // namespace

void TrendWindow::toggleRecording() {
    if (run_.recorder().isRecording()) {
        stopRecording();
        return;
    }
    if (!sampling_)
        return;
    const DialogService::FileRequest request{text("TREND_RECORD"), lastFolder(), stampedName("csv"),
                                             text("TREND_CSV_FILTER")};
    context_.dialogs->saveFile(this, request, [this](const QString& path) {
        if (!path.isEmpty() && sampling_)
            startRecording(path);
    });
}

void TrendWindow::startRecording(const QString& path) {
    rememberFolder(path);
    if (!run_.startRecording(path, unitText())) {
        showFileError(path, run_.recorder().errorString());
        return;
    }
    lastRecordingPath_ = path;
    btn_TrendRecord->setText(text("TREND_RECORD_STOP"));
    btn_TrendClear->setEnabled(false);
    showStatus();
}

void TrendWindow::stopRecording() {
    const QString path = run_.recorder().path();
    const bool ok = run_.stopRecording();
    btn_TrendRecord->setText(text("TREND_RECORD"));
    btn_TrendClear->setEnabled(true);
    showStatus();
    if (!ok)
        showFileError(path, run_.recorder().errorString());
}

void TrendWindow::recordingFailed() {
    btn_TrendRecord->setText(text("TREND_RECORD"));
    btn_TrendClear->setEnabled(true);
    showStatus();
    showFileError(run_.recorder().path(), run_.recorder().errorString());
}

void TrendWindow::showFileError(const QString& path, const QString& why) {
    context_.dialogs->message(this, DialogService::Icon::Error,
                              text("TREND_FILE_ERROR").arg(QDir::toNativeSeparators(path), why),
                              text("TREND_TITLE"));
}

void TrendWindow::exportPng() {
    const DialogService::FileRequest request{text("TREND_PNG"), lastFolder(), stampedName("png"),
                                             text("TREND_PNG_FILTER")};
    context_.dialogs->saveFile(this, request, [this](const QString& path) {
        if (path.isEmpty())
            return;
        rememberFolder(path);
        // Encoded in memory, then written like every other file: a failure keeps an old file.
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!chart_->grab().save(&buffer, "PNG")) {
            showFileError(path, text("TREND_WRITE_FAILED"));
            return;
        }
        files::AtomicFile file(path);
        if (!file.open() || !file.write(png) || !file.commit())
            showFileError(path, file.reason());
    });
}

void TrendWindow::exportCsv() {
    const DialogService::FileRequest request{text("TREND_CSV"), lastFolder(), stampedName("csv"),
                                             text("TREND_CSV_FILTER")};
    context_.dialogs->saveFile(this, request, [this](const QString& path) {
        if (path.isEmpty())
            return;
        rememberFolder(path);
        // The stretch shown, on the time axis' own count of seconds.
        const TimeRange range = chart_->shownRange();
        QString error;
        if (!trend::exportCsv(path, run_.samples(), run_.events(), range.fromNs, range.toNs, unitText(),
                              run_.timeBase(), &error))
            showFileError(path, error);
    });
}

} // namespace kvt::trend
