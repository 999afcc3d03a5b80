// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "assist/DialogService.h"

#include <QList>
#include <QPointer>
#include <QQueue>
#include <QWidget>
#include <deque>
#include <memory>

namespace kvt {

// A dialog service for tests: it shows nothing, records every box and file dialog, and answers
// from queues. The continuation of a box runs after the handler that opened it has returned
// (posted to the event loop), as with a real box that closes at once. While holding, boxes stay
// open until closeOldest().
class ScriptedDialogService : public DialogService {
public:
    struct Shown {
        QString kind; // "information", "warning", "question", "error", "open", "save"
        QString text; // box text as shown, or a file dialog's filter
        QString caption;
    };

    void message(QWidget* parent, Icon icon, const QString& text, const QString& caption, Buttons buttons,
                 std::function<void(bool ok)> then) override;
    void openFile(QWidget* parent, const FileRequest& request,
                  std::function<void(QString path)> then) override;
    void saveFile(QWidget* parent, const FileRequest& request,
                  std::function<void(QString path)> then) override;

    const QList<Shown>& shown() const { return shown_; }
    void clearShown() { shown_.clear(); }

    // The answer to the next box that offers a choice; without one, OK.
    void queueAnswer(bool ok) { answers_.enqueue(ok); }
    // The next file dialog's result; "" means cancelled; without one, cancelled.
    void queueFile(const QString& path) { files_.enqueue(path); }

    void setHolding(bool hold) { holding_ = hold; }
    bool holding() const { return holding_; }
    int openCount() const { return int(open_.size()); }
    // Closes the oldest held box with OK or Cancel; false when none is open.
    bool closeOldest(bool ok);

    // Continuations posted and not yet run.
    int pendingContinuations() const { return *pending_; }

private:
    void post(QWidget* parent, std::function<void()> continuation);

    QList<Shown> shown_;
    QQueue<bool> answers_;
    QQueue<QString> files_;
    bool holding_ = false;
    std::deque<std::pair<QPointer<QWidget>, std::function<void(bool)>>> open_;
    // Shared with the posted continuations, so one that runs after the service is gone is safe.
    std::shared_ptr<int> pending_ = std::make_shared<int>(0);
};

} // namespace kvt
