// SPDX-License-Identifier: GPL-3.0-or-later
#include "program/ProgressWindow.h"

#include "assist/Colors.h"

#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

namespace kvt {

ProgressWindow::ProgressWindow(std::function<int()> language, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      language_(std::move(language)), texts_(this, QStringLiteral("TFormProgress")) {
    setObjectName(QStringLiteral("TFormProgress"));
    setWindowTitle(QStringLiteral("Postęp"));
    setFixedSize(307, 106);

    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setRange(0, 5);
    ProgressBar->setValue(0);
    ProgressBar->setGeometry(8, 8, 291, 20);

    Message = new QLineEdit(this);
    Message->setObjectName(QStringLiteral("Message"));
    Message->setReadOnly(true);
    Message->setGeometry(8, 36, 291, 22);
    setBackground(Message, palette().color(QPalette::Highlight));
    setTextColor(Message, palette().color(QPalette::HighlightedText));

    BtnOK = new QPushButton(QStringLiteral("OK"), this);
    BtnOK->setObjectName(QStringLiteral("BtnOK"));
    BtnOK->setEnabled(false);
    BtnOK->setGeometry(112, 68, 83, 28);
    connect(BtnOK, &QPushButton::clicked, this, &ProgressWindow::closeWindow);

    paintTimer_ = new QTimer(this);
    paintTimer_->setSingleShot(true);
    paintTimer_->setInterval(PaintIntervalMs);
    connect(paintTimer_, &QTimer::timeout, this, &ProgressWindow::paintProgress);
}

void ProgressWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    prepareForShowing();
}

void ProgressWindow::prepareForShowing() {
    BtnOK->setEnabled(false);
    texts_.setLanguage(language_ ? language_() : TranslationStore::Polish);
}

void ProgressWindow::begin(const QString& message, int maximum, bool modal) {
    ProgressBar->setRange(0, std::max(maximum, 1)); // a range of 0..0 would show a busy bar
    paintProgress();
    ProgressBar->setValue(0);
    Message->setText(message);
    BtnOK->setEnabled(false); // also when the window stays open from an exchange before
    if (isVisible() && (!modal || isModal()))
        return;
    if (modal) {
        // A window left open without modality (a read-back's) is shown again as modal, so the
        // main window cannot start another exchange under this one.
        if (isVisible())
            hide();
        open(); // window-modal over the main window; returns at once
    } else {
        setWindowModality(Qt::NonModal);
        show();
    }
}

void ProgressWindow::setProgress(int position) {
    // A position beyond the maximum (a controller asking past the end) shows a full bar.
    const int shown = std::clamp(position, ProgressBar->minimum(), ProgressBar->maximum());
    // A progress bar repaints itself at once on every step it shows, and a transfer is a step per
    // record. The value is always the latest; the painting of it is held back and done at most
    // once every PaintIntervalMs.
    ProgressBar->setUpdatesEnabled(false);
    ProgressBar->setValue(shown);
    if (!paintTimer_->isActive())
        paintTimer_->start();
}

void ProgressWindow::paintProgress() {
    paintTimer_->stop();
    ProgressBar->setUpdatesEnabled(true); // schedules one paint of the latest value
}

void ProgressWindow::finish(const QString& message) {
    paintProgress();
    Message->setText(message);
    BtnOK->setEnabled(true);
}

void ProgressWindow::closeWindow() {
    close();
}

} // namespace kvt
